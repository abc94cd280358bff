#include "cli/CommandTable.h"

#include "cli/DecryptFileCommand.h"
#include "cli/DecryptTextCommand.h"
#include "cli/EncryptFilesCommand.h"
#include "cli/EncryptTextCommand.h"
#include "cli/ListCommand.h"
#ifdef KIV_CLI_WITH_DDE
#include "cli/DdeCommand.h"
#endif

namespace kiv {

CommandTable KivCliCommands() {
    CommandTable table;
    table.push_back(std::make_unique<EncryptTextCommand>());
    table.push_back(std::make_unique<DecryptTextCommand>());
    table.push_back(std::make_unique<EncryptFilesCommand>());
    table.push_back(std::make_unique<DecryptFileCommand>());
    table.push_back(std::make_unique<ListCommand>());
#ifdef KIV_CLI_WITH_DDE
    // Talks to the desktop program over a QtNetwork socket: only in builds with Qt.
    table.push_back(std::make_unique<DdeCommand>());
#endif
    return table;
}

}  // namespace kiv
