#pragma once

#include <gtest/gtest.h>

#include <string>

#include "residue/KernelRegistry.h"

namespace kiv::testing {

// A suite run once per instruction set (instantiate it with kEveryInstructionSet and KernelName);
// a set this processor lacks is skipped by name.
class EachKernel : public ::testing::TestWithParam<InstructionSet> {
  protected:
    void SetUp() override {
        if (!KernelRegistry::Runs(GetParam()))
            GTEST_SKIP() << KernelRegistry::Name(GetParam()) << " kernel: not on this processor";
    }
};

inline const auto kEveryInstructionSet =
    ::testing::Values(InstructionSet::Portable, InstructionSet::Avx2, InstructionSet::Avx512);

inline std::string KernelName(const ::testing::TestParamInfo<InstructionSet>& info) {
    return KernelRegistry::Name(info.param);
}

}  // namespace kiv::testing
