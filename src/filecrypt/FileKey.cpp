#include "filecrypt/FileKey.h"

#include "residue/KeySchedule.h"

namespace kiv {

FileKey PrepareFileKey(CipherWorkspace& ws, const std::string& password) {
    CopyText(ws.KeyText, password.data(), password.size());
    CopyText(ws.AuxText, password.data(), password.size());
    GeneratePrimes(ws, kFilePrimeCount, 0);
    FileKey key;
    key.blockLength = DerivePasswordPermutation(ws, kFilePrimeCount);
    key.residueCount = BlockPrimeCount(ws, key.blockLength) + 1;
    key.distinctModuli = ModuliDistinct(ws, 2, key.residueCount);
    return key;
}

}  // namespace kiv
