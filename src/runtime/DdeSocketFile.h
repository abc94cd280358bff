#pragma once

#include <string>

namespace kiv {

// Where the command service named serviceName listens and where its clients find it: a socket
// in the user's runtime folder. Empty when there is no runtime folder to be trusted (refusal, if
// given, then says why). The service and kiv-cli's dde command both ask here, so that the two
// never look in different places; it needs no Qt, so kiv-cli links none.
std::string DdeSocketFile(const std::string& serviceName, std::string* refusal = nullptr);

// Where the service would listen in folder, when folder passes the runtime folder's checks (the
// user's own, private); else empty. For a session without XDG_RUNTIME_DIR (cron, ssh), whose
// user's desktop window listens in /run/user/UID.
std::string DdeSocketFileIn(const std::string& folder, const std::string& serviceName);

}  // namespace kiv
