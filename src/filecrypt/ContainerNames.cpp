#include "filecrypt/ContainerNames.h"

namespace kiv {

std::string SingleFileOutputName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot > nameStart) return path.substr(0, dot) + ".vrq";
    return path + ".vrq";
}

std::string StoredNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

EntryProblem StoredNameProblem(const std::string& name) {
    if (name.empty()) return EntryProblem::NoName;
    if (name.find('\0') != std::string::npos) return EntryProblem::NulInName;
    if (name.find('/') != std::string::npos) return EntryProblem::FolderInName;
    if (name == "." || name == "..") return EntryProblem::NamedAfterFolder;
    return EntryProblem::None;
}

std::string RestoredCopyName(const std::string& name, int number) {
    const std::string mark = " (restored " + std::to_string(number) + ")";
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return name + mark;
    return name.substr(0, dot) + mark + name.substr(dot);
}

}  // namespace kiv
