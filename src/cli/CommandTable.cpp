#include "cli/CommandTable.h"

#include "cli/DdeCommand.h"
#include "cli/DecryptFileCommand.h"
#include "cli/DecryptTextCommand.h"
#include "cli/EncryptFilesCommand.h"
#include "cli/EncryptTextCommand.h"
#include "cli/ListCommand.h"
#include "cli/TestCommand.h"

namespace kiv {

CommandTable KivCliCommands() {
    CommandTable table;
    table.push_back(std::make_unique<EncryptTextCommand>());
    table.push_back(std::make_unique<DecryptTextCommand>());
    table.push_back(std::make_unique<EncryptFilesCommand>());
    table.push_back(std::make_unique<DecryptFileCommand>());
    table.push_back(std::make_unique<TestCommand>());
    table.push_back(std::make_unique<ListCommand>());
    table.push_back(std::make_unique<DdeCommand>());
    return table;
}

}  // namespace kiv
