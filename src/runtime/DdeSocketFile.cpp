#include "runtime/DdeSocketFile.h"

#include "runtime/internal/RuntimeFolder.h"

namespace kiv {

std::string DdeSocketFile(const std::string& serviceName, std::string* refusal) {
    const RuntimeFolder folder = UserRuntimeFolder();
    if (refusal) *refusal = folder.refusal;
    if (folder.path.empty()) return {};
    return folder.path + '/' + serviceName;
}

std::string DdeSocketFileIn(const std::string& folder, const std::string& serviceName) {
    const RuntimeFolder checked = CheckedRuntimeFolder(folder);
    if (checked.path.empty()) return {};
    return checked.path + '/' + serviceName;
}

}  // namespace kiv
