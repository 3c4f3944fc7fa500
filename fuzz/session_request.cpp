// kor2 session: request lines as a driving program could send them, through the whole request
// handling on a memory store and the scripted window system. Every line that is not blank gets
// exactly one answer line, and every answer reads back through the reader that read the request.
#include "FuzzInput.h"

#include "JsonReader.h"
#include "Runtime.h"

#include "settings/Store.h"

#include <sstream>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace Kor2_Sys;
    const std::string input(reinterpret_cast<const char*>(data), size);
    settings::ScopedStore store(":memory:");
    kor2cli::GlobalOptions options;
    options.headless = true;
    kor2cli::Runtime runtime(options);
    std::istringstream in(input);
    std::ostringstream out;
    kor2cli::runSession(runtime, in, out);

    std::size_t requests = 0;
    std::istringstream lines(input);
    for (std::string line; std::getline(lines, line);)
        requests += line.find_first_not_of(" \t\r") != std::string::npos;
    std::size_t answers = 0;
    std::istringstream written(out.str());
    for (std::string answer; std::getline(written, answer); ++answers) {
        try {
            const auto node = kor2cli::parseJson(answer);
            kor2fuzz::require(node.find(u"error") != nullptr && node.find(u"warnings") != nullptr);
        } catch (const std::invalid_argument&) {
            kor2fuzz::require(false);
        }
    }
    kor2fuzz::require(answers == requests);
    return 0;
}
