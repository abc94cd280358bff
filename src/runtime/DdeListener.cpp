#include "runtime/DdeListener.h"

namespace kiv {

void DdeListener::incomingConnection(quintptr socketDescriptor) {
    accept_(static_cast<int>(socketDescriptor));
}

}  // namespace kiv
