// kor2: the library from the command line — late-bound calls, a JSON-lines session for other
// languages, and the interface listing of every class.

#include "CallError.h"
#include "Commands.h"
#include "Describe.h"
#include "Dialogs.h"
#include "Info.h"
#include "Io.h"
#include "JsonReader.h"
#include "JsonWriter.h"
#include "Runtime.h"
#include "Session.h"
#include "Settings.h"

#include "classes/Classes.h"
#include "frame/Errors.h"
#include "frame/Utf.h"

#include <CLI/CLI.hpp>

#include <csignal>
#include <iostream>

using namespace Kor2_Sys;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;
constexpr int kExitError = 3;

const ClassInfo& requireClass(const std::string& name)
{
    const ClassInfo* info = findClass(name);
    if (info == nullptr)
        throw std::invalid_argument("clase desconocida: " + kor2cli::excerpt(name) + " (kor2 describe las lista)");
    return *info;
}

int runCall(kor2cli::Runtime& runtime, const kor2cli::CallCommand& command)
{
    const ClassInfo& info = requireClass(command.className);
    std::vector<Variant> args;
    for (const std::string& arg : command.args)
        args.push_back(kor2cli::parseArgument(arg));
    // As passed: by-reference arguments may come back changed.
    const std::vector<Variant> passed = args;
    std::shared_ptr<Object> target;
    kor2cli::CallOutcome outcome;
    try {
        target = kor2cli::callTarget(info);
        outcome = runtime.call(*target, command.member, std::move(args));
    } catch (const Error& error) {
        outcome.error = error;
    }
    std::cout << runtime.answer(outcome) << std::endl;
    if (!outcome.error)
        return kExitOk;
    std::cerr << kor2cli::callErrorLine(info, command.member, passed, *outcome.error) << "\n";
    return kExitError;
}

int runDescribe(const std::string& name, bool json)
{
    if (!name.empty()) {
        if (const ClassInfo* info = findClass(name))
            std::cout << kor2cli::describe(*info, json);
        else if (const EnumInfo* enumeration = findEnum(name))
            std::cout << kor2cli::describe(*enumeration, json);
        else
            throw std::invalid_argument("clase o enumeración desconocida: " + kor2cli::excerpt(name) +
                                        " (kor2 describe las lista)");
        return kExitOk;
    }
    for (const ClassInfo* info : libraryClasses())
        std::cout << kor2cli::describe(*info, json) << (json ? "" : "\n");
    for (const EnumInfo* info : libraryEnums())
        std::cout << kor2cli::describe(*info, json) << (json ? "" : "\n");
    return kExitOk;
}

int run(int argc, char** argv)
{
    kor2cli::CommandLine line;
    try {
        line.app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return line.app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return line.app.exit(e);
    } catch (const CLI::ParseError& e) {
        line.app.exit(e);
        return kExitUsage;
    }

    const std::string command = line.command() ? line.command()->get_name() : "";
    const kor2cli::GlobalOptions& options = line.options;
    try {
        if (command == "help") {
            std::cout << kor2cli::helpText(line, line.helpTopic);
            return kExitOk;
        }
        if (command == "message" && line.messageText->count() == 0 && line.messageFile->count() == 0)
            throw std::invalid_argument("message necesita --text o --file");
        if (command == "describe")
            return runDescribe(line.describeName, options.json);
        kor2cli::Runtime runtime(options);
        if (command == "call")
            return runCall(runtime, line.call);
        if (command == "session")
            return kor2cli::runSession(runtime, kor2cli::standardInput(), std::cout);
        if (command == "color") {
            if (line.layerOption->count() > 0)
                line.colour.layer = line.layer;
            return kor2cli::runColour(line.colour, std::cout, std::cerr);
        }
        if (command == "input")
            return kor2cli::runInput(line.input, std::cout, std::cerr);
        if (command == "number")
            return kor2cli::runNumber(line.number, std::cout, std::cerr);
        if (command == "open")
            return kor2cli::runFile(line.open, std::cout, std::cerr);
        if (command == "save")
            return kor2cli::runFile(line.save, std::cout, std::cerr);
        if (command == "message")
            return kor2cli::runMessage(line.message, std::cout, std::cerr);
        if (command == "login")
            return kor2cli::runLogin(options.json, std::cout, std::cerr);
        if (command == "info") {
            line.info.json = options.json;
            return kor2cli::runInfo(line.info, std::cout, std::cerr);
        }
        if (command == "settings") {
            line.settings.json = options.json;
            kor2cli::openStoreFor(line.settings);
            return kor2cli::runSettings(line.settings, std::cout, std::cerr);
        }
    } catch (const std::invalid_argument& e) {
        std::cerr << "kor2: " << e.what() << "\n";
        return kExitUsage;
    } catch (const Error& e) {
        std::cerr << "kor2: error " << e.number() << ": " << kor2cli::displayText(e.description()) << "\n";
        return kExitError;
    } catch (const std::bad_alloc&) {
        // What the run-time calls it is no message for the user.
        std::cerr << "kor2: error " << errors::outOfMemory().number() << ": "
                  << kor2cli::displayText(errors::outOfMemory().description()) << "\n";
        return kExitError;
    } catch (const std::exception& e) {
        std::cerr << "kor2: " << e.what() << "\n";
        return kExitError;
    }
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    // Past a file-size limit a write fails with EFBIG, which every command reports and cleans up
    // after, instead of the signal ending the run with a temporary file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    // Whatever the command, its output must have reached standard output for the run to succeed.
    kor2cli::checkStandardOutput();
    return kor2cli::finishStandardOutput(run(argc, argv));
}
