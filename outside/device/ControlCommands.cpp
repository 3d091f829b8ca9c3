#include "ControlCommands.h"

#include <cstdlib>
#include <sstream>
#include <vector>

namespace device {
namespace {

std::vector<std::string> Words(const std::string &line)
{
    std::istringstream stream(line);
    std::vector<std::string> words;
    std::string word;
    while (stream >> word)
        words.push_back(word);
    return words;
}

bool ParseCount(const std::string &text, int *value)
{
    char *end = nullptr;
    long number = strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < 0 || number > 1000000000)
        return false;
    *value = static_cast<int>(number);
    return true;
}

bool ParseSwitch(const std::string &text, const char *on, const char *off, bool *value)
{
    if (text == on) {
        *value = true;
        return true;
    }
    if (text == off) {
        *value = false;
        return true;
    }
    return false;
}

} // namespace

std::string ControlCommands::Run(const std::string &line)
{
    std::string answer = Dispatch(Words(line), line);
    log_.Line("control \"%s\" -> %s", line.c_str(), answer.c_str());
    return answer;
}

std::string ControlCommands::Dispatch(const std::vector<std::string> &words, const std::string &line)
{
    if (words.empty())
        return "error empty command";
    const std::string &command = words[0];
    std::string error;

    if (command == "ping")
        return "ok pong";
    if (command == "state") {
        if (words.size() != 2)
            return "error usage: state <ready|busy|error|document|silent|0xNN>";
        if (!model_.SetState(words[1], &error))
            return "error " + error;
        return "ok state " + model_.StateName();
    }
    if (command == "fault") {
        if (words.size() == 1)
            return "ok " + model_.Faults().Describe();
        if (words[1] == "clear") {
            model_.Faults().Clear();
            return "ok faults cleared";
        }
        int count = 1, extra = 0;
        if (words.size() > 4 || (words.size() >= 3 && !ParseCount(words[2], &count)) ||
            (words.size() == 4 && !ParseCount(words[3], &extra)))
            return "error usage: fault <kind> [n [extra]]";
        if (!model_.Faults().Arm(words[1], count, extra, &error))
            return "error " + error;
        return "ok fault " + words[1] + " " + std::to_string(count);
    }
    if (command == "scan") {
        std::vector<std::string> files(words.begin() + 1, words.end());
        if (!model_.LoadDocument(files, &error))
            return "error " + error;
        return "ok document pages=" + std::to_string(model_.DocumentPages());
    }
    if (command == "unplug") {
        return model_.Unplug() ? "ok unplugged" : "error unplug failed";
    }
    if (command == "plug") {
        return model_.Plug() ? "ok plugged" : "error plug failed";
    }
    if (command == "pages")
        return "ok " + std::to_string(model_.PagesPrinted());
    if (command == "tty")
        return "ok " + tty_;
    if (command == "keep") {
        bool keep = false;
        if (words.size() != 2 || !ParseSwitch(words[1], "on", "off", &keep))
            return "error usage: keep on|off";
        model_.SetKeepDocument(keep);
        return std::string("ok keep ") + (keep ? "on" : "off");
    }
    if (command == "resolution") {
        bool standard = false;
        if (words.size() != 2 || !ParseSwitch(words[1], "standard", "fine", &standard))
            return "error usage: resolution fine|standard";
        model_.SetStandard(standard);
        return "ok resolution " + words[1];
    }
    if (command == "pace") {
        bool paced = false;
        if (words.size() != 2 || !ParseSwitch(words[1], "on", "off", &paced))
            return "error usage: pace on|off";
        line_.Pacer().SetPaced(paced);
        return std::string("ok pace ") + (paced ? "on" : "off");
    }
    if (command == "info") {
        std::string text = "ok state=" + model_.StateName();
        text += std::string(" plugged=") + (model_.Plugged() ? "yes" : "no");
        text += " pages=" + std::to_string(model_.PagesPrinted());
        text += " document=" + std::to_string(model_.DocumentPages());
        text += std::string(" scanning=") + (model_.Scanning() ? "yes" : "no");
        text += std::string(" paced=") + (line_.Pacer().Paced() ? "yes" : "no");
        text += " faults=" + model_.Faults().Describe();
        return text;
    }
    if (command == "mark") {
        size_t start = line.find("mark") + 4;
        while (start < line.size() && line[start] == ' ')
            ++start;
        log_.Line("mark %s", line.c_str() + start);
        return "ok";
    }
    if (command == "quit") {
        quit_ = true;
        return "ok quit";
    }
    return "error unknown command " + command;
}

} // namespace device
