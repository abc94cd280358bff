#pragma once

#include <QString>
#include <stdexcept>

#include "app/core/TextAdapter.h"

namespace kiv {

// A stored value that should be a whole number and is not; travels to the exception display.
class IntegerConversionError : public std::runtime_error {
  public:
    explicit IntegerConversionError(const QString& text)
        : std::runtime_error(
              TextAdapter::ToBytes(QStringLiteral("'%1' is not a valid integer value").arg(text))) {
    }
};

}  // namespace kiv
