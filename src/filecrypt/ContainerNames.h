#pragma once

#include <string>

namespace kiv {

// The name a single file's container gets: its last extension replaced by ".vrq", or ".vrq"
// appended when the name has none (a leading dot starts no extension). Only the name part is
// touched: plan.txt -> plan.vrq, README -> README.vrq, /a.b/c -> /a.b/c.vrq.
std::string SingleFileOutputName(const std::string& path);

// The name stored for a source: the part of its path after the last "/".
std::string StoredNameOf(const std::string& path);

// The folder part of a path including its final "/", or "" when it has none.
std::string FolderOf(const std::string& path);

// Why a stored name may not be restored, or "" when it may: names come from the container and
// are not trusted. containerName is the container's own name, which an entry may not replace.
std::string StoredNameProblem(const std::string& name, const std::string& containerName);

}  // namespace kiv
