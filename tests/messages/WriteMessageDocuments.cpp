// Makes again what is made from the message catalogue: tests/data/messages.tsv and the list that
// ends docs/errors.md. Run it after changing a message on purpose ("cmake --build build --target
// update_message_documents") and review the difference.

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "messages/MessageDocuments.h"

int main(int argc, char** argv) {
    using namespace kiv::testing;
    if (argc != 2 || std::string_view(argv[1]) != "write") {
        std::cerr << "usage: message_documents write\n";
        return 2;
    }
    std::ifstream in(ErrorsDocumentPath(), std::ios::binary);
    std::ostringstream document;
    document << in.rdbuf();
    std::string errors = document.str();
    const auto list = errors.find(kErrorsListHeading);
    if (list == std::string::npos) {
        if (!errors.empty() && errors.back() != '\n') errors += '\n';
        errors += '\n';
    } else {
        errors.erase(list);
    }
    std::ofstream(ErrorsDocumentPath(), std::ios::binary | std::ios::trunc)
        << errors + ErrorsList();
    std::ofstream(MessagesTsvPath(), std::ios::binary | std::ios::trunc) << MessagesTsv();
    return 0;
}
