#include "PrintUiEntry.h"

#include <cstdio>
#include <vector>

#include "CommandLine.h"
#include "setupapi.h"
#include "windows.h"

namespace printui {
namespace {

struct Request {
    std::vector<std::string> actions;
    bool quiet = false;
    std::string inf, printer, model;
};

// Reads the options; false with `problem` set for one it does not know or
// a value that is missing.
bool ReadOptions(const std::vector<std::string> &arguments, Request *request, std::string *problem)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string &option = arguments[i];
        std::string *value = option == "/f" ? &request->inf
                             : option == "/n" ? &request->printer
                             : option == "/m" ? &request->model
                                              : nullptr;
        if (value) {
            if (i + 1 >= arguments.size()) {
                *problem = "option " + option + " needs a value";
                return false;
            }
            *value = arguments[++i];
        } else if (option == "/q") {
            request->quiet = true;
        } else if (option == "/ia" || option == "/y" || option == "/dl" || option == "/dd") {
            request->actions.push_back(option);
        } else {
            *problem = "unknown option \"" + option + "\"";
            return false;
        }
    }
    if (request->actions.size() != 1) {
        *problem = "give one of /ia, /y, /dl and /dd";
        return false;
    }
    return true;
}

std::string Field(const INFCONTEXT &line, DWORD index)
{
    char text[1024];
    return SetupGetStringFieldA(&line, index, text, sizeof text, nullptr) ? std::string(text) : std::string();
}

// The install section of `model` and its spelling in the INF.
bool FindModel(HINF inf, const std::string &model, std::string *name, std::string *install)
{
    INFCONTEXT maker;
    bool more = SetupFindFirstLineA(inf, "Manufacturer", nullptr, &maker);
    for (; more; more = SetupFindNextLine(&maker, &maker)) {
        const std::string models = Field(maker, 1);
        // A models section may be decorated for the platform ("<name>.NTx86").
        std::vector<std::string> sections;
        for (DWORD i = 2; i <= SetupGetFieldCount(&maker); ++i)
            sections.push_back(models + "." + Field(maker, i));
        sections.push_back(models);
        for (const std::string &section : sections) {
            INFCONTEXT line;
            if (SetupFindFirstLineA(inf, section.c_str(), model.c_str(), &line)) {
                *name = Field(line, 0);
                *install = Field(line, 1);
                return !install->empty();
            }
        }
    }
    return false;
}

std::string Directive(HINF inf, const std::string &section, const char *key)
{
    INFCONTEXT line;
    return SetupFindFirstLineA(inf, section.c_str(), key, &line) ? Field(line, 1) : std::string();
}

bool SetDefault(const Request &request) { return SetDefaultPrinterA(request.printer.c_str()) != FALSE; }

bool DeletePrinterNamed(const Request &request)
{
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    std::string name = request.printer;
    if (!OpenPrinterA(&name[0], &printer, &defaults))
        return false;
    const BOOL deleted = DeletePrinter(printer);
    const DWORD error = GetLastError();
    ClosePrinter(printer);
    SetLastError(error);
    return deleted != FALSE;
}

bool DeleteDriver(const Request &request)
{
    std::string name = request.model;
    return DeletePrinterDriverA(nullptr, nullptr, &name[0]) != FALSE;
}

} // namespace

bool InstallDriverFromInf(const std::string &infPath, const std::string &model)
{
    UINT errorLine = 0;
    HINF inf = SetupOpenInfFileA(infPath.c_str(), nullptr, INF_STYLE_WIN4, &errorLine);
    if (inf == INVALID_HANDLE_VALUE)
        return false;
    std::string name, install;
    if (!FindModel(inf, model, &name, &install)) {
        SetupCloseInfFile(inf);
        SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
        return false;
    }
    std::string driverFile = Directive(inf, install, "DriverFile");
    std::string dataFile = Directive(inf, install, "DataFile");
    std::string configFile = Directive(inf, install, "ConfigFile");
    SetupCloseInfFile(inf);
    DRIVER_INFO_2A driver{3, &name[0], nullptr, &driverFile[0], &dataFile[0], &configFile[0]};
    return AddPrinterDriverA(nullptr, 2, reinterpret_cast<LPBYTE>(&driver)) != FALSE;
}

int PrintUIEntry(const std::string &commandLine)
{
    Request request;
    std::string problem;
    if (!ReadOptions(SplitCommandLine(commandLine), &request, &problem)) {
        if (!request.quiet)
            fprintf(stderr, "printui: %s\n", problem.c_str());
        return 1;
    }
    const std::string &action = request.actions.front();
    const bool needsPrinter = action == "/y" || action == "/dl";
    const bool needsModel = action == "/ia" || action == "/dd";
    if ((needsPrinter && request.printer.empty()) || (needsModel && request.model.empty()) ||
        (action == "/ia" && request.inf.empty())) {
        if (!request.quiet)
            fprintf(stderr, "printui: %s lacks %s\n", action.c_str(),
                    needsPrinter ? "/n" : request.model.empty() ? "/m" : "/f");
        return 1;
    }
    bool done = false;
    if (action == "/ia")
        done = InstallDriverFromInf(request.inf, request.model);
    else if (action == "/y")
        done = SetDefault(request);
    else if (action == "/dl")
        done = DeletePrinterNamed(request);
    else
        done = DeleteDriver(request);
    if (!done && !request.quiet)
        fprintf(stderr, "printui: %s failed with error %lu\n", action.c_str(),
                static_cast<unsigned long>(GetLastError()));
    return done ? 0 : 1;
}

} // namespace printui
