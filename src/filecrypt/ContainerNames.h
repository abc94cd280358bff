#pragma once

#include <string>
#include <string_view>

#include "messages/MessageCatalogue.h"

namespace kiv {

// The name a single file's container gets: its last extension replaced by ".vrq", or ".vrq"
// appended when the name has none (a leading dot starts no extension). Only the name part is
// touched: plan.txt -> plan.vrq, README -> README.vrq, /a.b/c -> /a.b/c.vrq.
std::string SingleFileOutputName(const std::string& path);

// The name stored for a source: the part of its path after the last "/".
std::string StoredNameOf(const std::string& path);

// The folder part of a path including its final "/", or "" when it has none.
std::string FolderOf(const std::string& path);

// Why a stored entry is not restored. A name from a container is not trusted; the last two
// are the run's own findings about the file the name leads to.
enum class EntryProblem {
    None,
    NoName,
    NulInName,
    FolderInName,      // holds "/"
    NamedAfterFolder,  // "." or ".."
    IsContainer,       // would replace the encrypted file being read
    RestoredEarlier,   // would replace a file this run restored
};

// Why a stored name may not be restored, or None when it may. (Whether the name would replace
// the container itself is a question for the file system, not for the name: a link or another
// target folder changes the answer.)
EntryProblem StoredNameProblem(const std::string& name);

// The name under which a restore writes an entry whose name is taken while it may not replace
// the file there (the password was not confirmed, or the user chose to keep both): mark, with its
// number, goes before the last extension, or at the end of a name without one (a leading dot
// starts no extension). notes.txt -> "notes (restored 2).txt", README -> "README (restored 2)",
// .profile -> ".profile (restored 2)", a.tar.gz -> "a.tar (restored 2).gz". The run takes the
// first free N from 2 on. A name that would grow past 255 bytes loses the end of its part before
// the extension, at a character's start, so that the copy can still be created. A mark without
// "%1", with a "/" or NUL (it would not name one file in the folder) or of more than 64 bytes is
// replaced by the English one.
std::string RestoredCopyName(const std::string& name, int number,
                             std::string_view mark = WindowText(Message::RestoredCopyMark));

// A name as a folder that ignores letter case compares it: its letters, ASCII and those of UTF-8
// text, in lower case; bytes that are no UTF-8 stay as they are. Two names with the same folded
// form are taken for one file there. Folding more than such a folder does only costs a skipped
// entry, never a lost file.
std::string FoldedName(const std::string& name);

// name with the case of its ASCII letters turned round ("aZ" -> "Az"), every other byte as it
// is: a folder that finds a file under both names ignores letter case.
std::string CaseTurned(const std::string& name);

}  // namespace kiv
