#include "app/command_line.h"

#include "common/text.h"

std::vector<std::string> ArgumentsOf(std::string_view line) {
    size_t i = 0;
    // The program's name: up to the first blank, or between quotes; no
    // escapes in it.
    if (i < line.size() && line[i] == '"') {
        const size_t close = line.find('"', 1);
        i = close == std::string_view::npos ? line.size() : close + 1;
    }
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;

    std::vector<std::string> args;
    for (;;) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string arg;
        bool quoted = false;
        for (; i < line.size(); ++i) {
            const char c = line[i];
            if ((c == ' ' || c == '\t') && !quoted) break;
            if (c == '\\') {
                size_t n = 0;
                while (i < line.size() && line[i] == '\\') ++n, ++i;
                if (i < line.size() && line[i] == '"') {
                    arg.append(n / 2, '\\');
                    if (n % 2 == 1) {
                        arg += '"';
                        continue;  // the loop steps past the quote
                    }
                    --i;  // the quote is looked at again below
                } else {
                    arg.append(n, '\\');
                    --i;
                }
                continue;
            }
            if (c == '"') {
                // "" inside quotes is one quote.
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    arg += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                continue;
            }
            arg += c;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

CheckCommand ParseCheckCommand(const std::vector<std::string>& args) {
    CheckCommand command;
    if (args.empty()) return command;
    auto isOption = [](const std::string& arg) { return !arg.empty() && arg[0] == '/'; };
    // A show handed to the program: the wizard, with it chosen.
    if (args.size() == 1 && !args[0].empty() && !isOption(args[0])) {
        command.show = args[0];
        return command;
    }
    command.mode = CheckCommand::Mode::Wrong;
    if (EqualsNoCaseAscii(args[0], "/controleer-back-up")) {
        if (args.size() < 2 || args[1].empty() || isOption(args[1])) {
            command.why = "na /controleer-back-up ontbreekt de map";
        } else if (args.size() > 2) {
            command.why = "onbekend: " + args[2];
        } else {
            command.backup = args[1];
            command.mode = CheckCommand::Mode::CheckBackup;
        }
        return command;
    }
    if (EqualsNoCaseAscii(args[0], "/back-up")) {
        if (args.size() < 2 || args[1].empty() || isOption(args[1])) {
            command.why = "na /back-up ontbreekt de show";
        } else if (args.size() < 3 || args[2].empty() || isOption(args[2])) {
            command.why = "na /back-up ontbreekt de doelmap";
        } else if (args.size() > 3) {
            command.why = "onbekend: " + args[3];
        } else if (args[1].find('"') != std::string::npos || args[2].find('"') != std::string::npos) {
            // No name holds a quote: "E:\Back-up\" ends in an escaped one.
            command.why = "een pad eindigt op \\\" (laat de \\ voor het aanhalingsteken weg, of schrijf \\\\): " +
                          (args[1].find('"') != std::string::npos ? args[1] : args[2]);
        } else {
            command.show = args[1];
            command.backup = args[2];
            command.mode = CheckCommand::Mode::Backup;
        }
        return command;
    }
    if (!EqualsNoCaseAscii(args[0], "/controleer")) {
        command.why = "verwacht: /controleer \"<show.ws4>\" [/rapport \"<bestand.html>\"] [/nakijken]";
        return command;
    }
    if (args.size() < 2 || args[1].empty() || isOption(args[1])) {
        command.why = "na /controleer ontbreekt de show";
        return command;
    }
    command.show = args[1];
    // Each option once, in either order.
    for (size_t next = 2; next < args.size();) {
        if (EqualsNoCaseAscii(args[next], "/nakijken") && !command.checkContents) {
            command.checkContents = true;
            ++next;
            continue;
        }
        if (!EqualsNoCaseAscii(args[next], "/rapport") || !command.report.empty()) {
            command.why = "onbekend: " + args[next];
            return command;
        }
        if (next + 1 >= args.size() || args[next + 1].empty() || isOption(args[next + 1])) {
            command.why = "na /rapport ontbreekt het bestand";
            return command;
        }
        command.report = args[next + 1];
        next += 2;
    }
    command.mode = CheckCommand::Mode::Check;
    return command;
}

bool IsScriptCommand(const std::vector<std::string>& args) {
    return !args.empty() &&
           (StartsWithNoCaseAscii(args[0], "/controleer") || StartsWithNoCaseAscii(args[0], "/back-up"));
}

std::string ScriptLogLine(bool backup) { return backup ? "Back-up zonder venster" : "Controle zonder venster"; }

std::string MissingShowText(const std::string& path) {
    return "De show die Zekerpad moest openen, is er niet:\n" + path +
           "\n\nMisschien is de show verplaatst, hernoemd of gewist, of staat hij op een schijf of USB-stick die nu "
           "niet is aangesloten.\n\nKies de show op de pagina die nu opent: typ het pad, klik op het mapje rechts van "
           "het veld, of laat Zekerpad met Start zoeken alle shows zoeken.";
}

std::string UsageText() {
    // One form to a line, each below what it does: a message box breaks
    // long lines where it likes.
    return "Zekerpad kent deze vormen:\n\n"
           "De wizard:\n"
           "Zekerpad.exe\n\n"
           "De wizard, met deze show gekozen:\n"
           "Zekerpad.exe \"<show.ws4>\"\n\n"
           "Een show controleren zonder venster:\n"
           "Zekerpad.exe /controleer \"<show.ws4>\"\n"
           "        [/rapport \"<bestand.html>\"] [/nakijken]\n\n"
           "Een back-up of een gekopieerde show controleren zonder venster:\n"
           "Zekerpad.exe /controleer-back-up \"<map of show>\"\n\n"
           "Een back-up maken zonder venster:\n"
           "Zekerpad.exe /back-up \"<show.ws4>\" \"<doelmap>\"";
}
