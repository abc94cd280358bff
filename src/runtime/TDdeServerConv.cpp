#include "runtime/TDdeServerConv.h"

#include "runtime/TDdeMgr.h"

namespace kiv {

TDdeServerConv::TDdeServerConv(TDdeMgr& manager, QObject* owner, const QString& name)
    : QObject(owner), manager_(&manager) {
    setObjectName(name);
    manager.Enrol(this);
}

TDdeServerConv::~TDdeServerConv() {
    // The manager may already be gone when the owner outlives it; then there is nothing to leave.
    if (manager_) manager_->Leave(this);
}

}  // namespace kiv
