// Writes kor2's manual page and bash completion from the same command table the tool parses with,
// so that the build never ships a page or a completion that disagrees with the tool.

#include "Commands.h"
#include "Completion.h"
#include "Manual.h"

#include <fstream>
#include <iostream>

namespace {

bool write(const char* path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file)
        std::cerr << "kor2-docgen: no se puede escribir " << path << "\n";
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "uso: kor2-docgen PÁGINA_DE_MANUAL COMPLETADO_DE_BASH FECHA\n";
        return 2;
    }
    const kor2cli::CommandLine line;
    return write(argv[1], kor2cli::manualPage(line, argv[3])) && write(argv[2], kor2cli::completionScript(line)) ? 0 : 1;
}
