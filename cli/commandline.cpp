// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Options are read first, in full, so that a usage error ends the program
// before it converts anything. Values are then converted in the order given;
// "-" stands for the lines of standard input, one conversion each.

#include "commandline.h"

#include "console.h"
#include "conversion.h"
#include "streams.h"
#include "text.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace quorran::cli {

namespace {

enum Status { kConverted = 0, kRejected = 1, kUsage = 2 };

constexpr std::array<std::string_view, 7> kOwnOptions{"--to-id", "--to-dap", "--hex",    "--log",
                                                      "--help",  "-h",       "--version"};

constexpr std::string_view kHelp =
    R"(Usage: quorran [QT-OPTION]...
  or:  quorran --to-id [--hex | --log] DOMAIN AREA PORT
  or:  quorran --to-id [--hex | --log] [DOMAIN.AREA.PORT... | -]
  or:  quorran --to-dap [--log] [ADDRESS-ID... | -]
Convert a Fibre Channel N_Port address between the Domain.Area.Port triple and
the Address ID (Domain * 65536 + Area * 256 + Port). Without the options below
the window opens; Qt's own options, such as -platform, go to the window.

      --to-id    print the Address ID of each Domain.Area.Port triple
      --to-dap   print the Domain.Area.Port triple of each Address ID
      --hex      print Address IDs in hexadecimal, as 0x010203
      --log      print each result as the window's message log shows it
  -h, --help     display this help and exit
      --version  output version information and exit

Values are read as the window reads its fields: blanks are ignored, 0x or &H
starts a hexadecimal number, &O an octal one, and a text read only in part, or
read as 0, gives a warning. With - in place of the values, or with no values
and standard input not a terminal, each line of standard input is one value; a
triple on a line is split at commas, else at dots, else at blanks.

Each value gives one line on standard output, an empty one where the window
would reject it; standard error then says why, in the window's words.

Exit status: 0 if every value was converted, 1 if any was rejected or a
stream failed, 2 for a usage error.

Examples:
  quorran --to-id 1.2.3            print 66051
  quorran --to-dap 0x010203        print 1.2.3
  cat /sys/class/fc_host/host*/port_id | quorran --to-dap

Report bugs to: quorran-devel@googlegroups.com
Quorran home page: <https://github.com/quorran/quorran>
)";

constexpr std::string_view kVersion = "quorran " QUORRAN_VERSION R"(
Copyright (C) 2026 Quorran developers
License MIT: <https://opensource.org/license/mit>
This is free software: you are free to change and redistribute it.
There is NO WARRANTY, to the extent permitted by law.
)";

struct Options {
    bool help = false;
    bool version = false;
    bool toId = false;
    bool toDap = false;
    bool hex = false;
    bool log = false;
    std::vector<std::string_view> values;
};

bool ownOption(std::string_view arg) { return std::ranges::find(kOwnOptions, arg) != kOwnOptions.end(); }

// A word that begins with "-" is a value when a number follows the sign.
bool isValue(std::string_view arg)
{
    return arg == "-" || arg.size() < 2 || arg[0] != '-' || (arg[1] >= '0' && arg[1] <= '9') || arg[1] == '.';
}

struct UsageError {
    std::string message;
};

Options parse(int argc, char **argv)
{
    Options options;
    bool valuesOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (valuesOnly || isValue(arg))
            options.values.push_back(arg);
        else if (arg == "--")
            valuesOnly = true;
        else if (arg == "--help" || arg == "-h")
            options.help = true;
        else if (arg == "--version")
            options.version = true;
        else if (arg == "--to-id")
            options.toId = true;
        else if (arg == "--to-dap")
            options.toDap = true;
        else if (arg == "--hex")
            options.hex = true;
        else if (arg == "--log")
            options.log = true;
        else
            throw UsageError{"unrecognized option '" + std::string(arg) + "'"};
    }
    if (options.help || options.version)
        return options;
    if (options.toId == options.toDap)
        throw UsageError{options.toId ? "--to-id and --to-dap exclude each other" : "--to-id or --to-dap is needed"};
    if (options.hex && (options.log || options.toDap))
        throw UsageError{options.log ? "--hex and --log exclude each other" : "--hex goes with --to-id only"};
    return options;
}

class Session {
public:
    Session(Direction direction, Form form) : m_converter(direction, form), m_direction(direction) {}

    // One value of the command line: an Address ID, or a triple in one word.
    void convertWord(std::string_view word)
    {
        m_text = decodeUtf8(word, m_buffer);
        convertText(0);
    }

    // A triple in three words, one for each field.
    void convertFields(const std::vector<std::string_view> &words)
    {
        std::array<std::u16string, 3> buffers;
        std::array<std::u16string_view, 3> texts;
        std::u16string input;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            texts[i] = decodeUtf8(words[i], buffers[i]);
            input.append(i == 0 ? u"" : u" ").append(texts[i]);
        }
        convert(texts, input, 0);
    }

    void convertInput()
    {
        LineReader reader(m_output);
        std::string_view line;
        bool overlong = false;
        while (reader.next(line, overlong)) {
            ++m_line;
            if (overlong) {
                m_output.out() += '\n';
                startMessage(m_output.err(), m_line);
                m_output.err() += "longer than 8 MiB; not read\n";
                m_rejected = true;
            } else {
                m_text = decodeUtf8(line, m_buffer);
                convertText(m_line);
            }
            m_output.flushIfFull();
        }
    }

    int finish()
    {
        m_output.flush();
        return m_rejected ? kRejected : kConverted;
    }

private:
    void convertText(std::size_t line)
    {
        std::array<std::u16string_view, 3> parts{m_text};
        if (m_direction == Direction::ToId && !splitTriple(m_text, parts)) {
            m_output.out() += '\n';
            startMessage(m_output.err(), line);
            appendQuoted(m_output.err(), m_text);
            m_output.err() += ": not a triple Domain.Area.Port\n";
            m_rejected = true;
            return;
        }
        convert(parts, m_text, line);
    }

    void convert(const std::array<std::u16string_view, 3> &texts, std::u16string_view input, std::size_t line)
    {
        if (!m_converter.convert(texts, input, line, m_output.out(), m_output.err()))
            m_rejected = true;
    }

    Output m_output;
    Converter m_converter;
    Direction m_direction;
    std::u16string m_buffer;
    std::u16string_view m_text;
    std::size_t m_line = 0;
    bool m_rejected = false;
};

int convertAll(const Options &options)
{
    const Direction direction = options.toId ? Direction::ToId : Direction::ToDap;
    const Form form = options.log ? Form::Log : options.hex ? Form::Hex : Form::Plain;
    std::vector<std::string_view> values = options.values;
    if (values.empty()) {
        if (inputIsTerminal())
            throw UsageError{"no values given, and standard input is a terminal"};
        values.emplace_back("-");
    }

    // Three words none of which is a triple are one triple, one word a field;
    // otherwise every word must be a triple of its own.
    std::array<std::u16string_view, 3> parts;
    std::u16string text;
    const auto isTriple = [&](std::string_view word) {
        return word == "-" || splitTriple(decodeUtf8(word, text), parts);
    };
    const bool threeFields = direction == Direction::ToId && values.size() == 3 &&
                             std::ranges::none_of(values, [&](std::string_view v) { return isTriple(v); });
    if (direction == Direction::ToId && !threeFields) {
        const auto bad = std::ranges::find_if_not(values, isTriple);
        if (bad != values.end())
            throw UsageError{"'" + std::string(*bad) + "' is not a triple Domain.Area.Port"};
    }

    Session session(direction, form);
    if (threeFields) {
        session.convertFields(values);
    } else {
        for (const std::string_view value : values) {
            if (value == "-")
                session.convertInput();
            else
                session.convertWord(value);
        }
    }
    return session.finish();
}

void print(int stream, std::string_view text) { writeStream(stream, text.data(), text.size()); }

} // namespace

std::optional<int> run(int argc, char **argv)
{
    bool own = false;
    for (int i = 1; i < argc && std::string_view(argv[i]) != "--"; ++i)
        own = own || ownOption(argv[i]);
    if (!own)
        return std::nullopt;

    prepareConsole();
    try {
        const Options options = parse(argc, argv);
        if (options.help) {
            print(1, kHelp);
            return kConverted;
        }
        if (options.version) {
            print(1, kVersion);
            return kConverted;
        }
        return convertAll(options);
    } catch (const UsageError &error) {
        print(2, "quorran: " + error.message + "\nTry 'quorran --help' for more information.\n");
        return kUsage;
    } catch (const OutputClosed &) {
        // Nobody reads any more; as a program killed by SIGPIPE ends.
        return 128 + 13;
    } catch (const StreamFailed &error) {
        print(2, "quorran: " + error.message + "\n");
        return kRejected;
    }
}

} // namespace quorran::cli
