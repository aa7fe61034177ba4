// SPDX-License-Identifier: GPL-3.0-or-later
// lunavist-diff: the comparison engine and the text-file reader of Lunavist
// on the command line, for scripts and for checking the engine from outside.

#include "DiffReport.h"

#include "DiffEngine.h"
#include "TextFile.h"
#include "UserError.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <thread>

#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// Exit codes as diff(1) has them.
constexpr int ExitSame = 0;
constexpr int ExitDifferent = 1;
constexpr int ExitTrouble = 2;

// Memory the process has used once is cheap to use again; fresh memory costs
// a page fault per page, which is a large part of a comparison's time. So
// freed blocks of any size stay with the allocator for the next phase to
// reuse instead of going back to the system, which a command that ends
// soon never needs.
void KeepFreedMemory()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024); // the largest glibc accepts
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
#endif
}

void PrintTo(std::FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

int Fail(const QString &message)
{
    PrintTo(stderr, "lunavist-diff: " + message.toUtf8() + '\n');
    return ExitTrouble;
}

TReportSide LoadSide(const QString &path)
{
    TReportSide side;
    const TTextFileFacts info = LoadTextFile(path, side.Lines);
    side.EncodingName = info.EncodingName;
    return side;
}

// Reads the two files at the same time, the right one on a second thread.
// When both fail, the left file's error is the one reported, as when they
// are read in turn. LoadTextFile only reads shared state (the encodings, and
// the catalogue behind Translate on an error), so the loads may overlap.
void LoadSides(const QString &leftPath, const QString &rightPath, TReportSide &left, TReportSide &right)
{
    std::exception_ptr rightError;
    std::thread rightLoader([&] {
        try {
            right = LoadSide(rightPath);
        } catch (...) {
            rightError = std::current_exception();
        }
    });
    std::exception_ptr leftError;
    try {
        left = LoadSide(leftPath);
    } catch (...) {
        leftError = std::current_exception();
    }
    rightLoader.join();
    if (leftError)
        std::rethrow_exception(leftError);
    if (rightError)
        std::rethrow_exception(rightError);
}

} // namespace

int main(int argc, char *argv[])
{
    KeepFreedMemory();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"lunavist-diff"_s);
    QCoreApplication::setApplicationVersion(u"2.4"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Compares two text files line by line as Lunavist does and prints one row per line pair.\n"
        "White space means TAB and SPACE only.\n"
        "\n"
        "Output: '# left: <encoding>\\t<line count>', '# right: ...', then one tab-separated line per row:\n"
        "kind (dkEqual, dkLeftOnly, dkRightOnly, dkDifferent), left index, right index (0-based, -1 for none),\n"
        "left change start, left change length, right change start, right change length\n"
        "(UTF-16 code units; -1 and 0 on rows that are not dkDifferent).\n"
        "\n"
        "Exit status: 0 when no row differs, 1 when some row differs, 2 on trouble."_s);
    const QCommandLineOption ignoreCase({u"i"_s, u"ignore-case"_s},
                                        u"Compare lines with every letter mapped to lower case (all scripts)."_s);
    const QCommandLineOption ignoreAllSpace({u"w"_s, u"ignore-all-space"_s},
                                            u"Remove every TAB and SPACE from lines before comparing them."_s);
    const QCommandLineOption ignoreSpaceChange(
        {u"b"_s, u"ignore-space-change"_s},
        u"Treat every run of TABs and SPACEs as one SPACE (no effect with --ignore-all-space)."_s);
    const QCommandLineOption ignoreLeadingSpace(u"ignore-leading-space"_s,
                                                u"Remove the TABs and SPACEs at the start of each line."_s);
    const QCommandLineOption ignoreTrailingSpace({u"Z"_s, u"ignore-trailing-space"_s},
                                                 u"Remove the TABs and SPACEs at the end of each line."_s);
    const QCommandLineOption ignoreBlankLines(
        {u"B"_s, u"ignore-blank-lines"_s},
        u"Treat lines made only of characters up to U+0020 as empty, and show every row with such a line "
        "on either side as equal."_s);
    const QCommandLineOption highlight(
        u"highlight"_s,
        u"Add two columns to each row: the differing word ranges of the left and of the right cell of a "
        "dkDifferent row as start:length joined by commas ('-' when none); '-' '-' on other rows."_s);
    parser.addOptions({ignoreCase, ignoreAllSpace, ignoreSpaceChange, ignoreLeadingSpace, ignoreTrailingSpace,
                       ignoreBlankLines, highlight});
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(u"LEFT"_s, u"The left file."_s);
    parser.addPositionalArgument(u"RIGHT"_s, u"The right file."_s);

    if (!parser.parse(QCoreApplication::arguments()))
        return Fail(parser.errorText());
    if (parser.isSet(help)) {
        PrintTo(stdout, parser.helpText().toUtf8());
        return ExitSame;
    }
    if (parser.isSet(version)) {
        PrintTo(stdout, "lunavist-diff 2.4\n");
        return ExitSame;
    }
    const QStringList paths = parser.positionalArguments();
    if (paths.size() != 2)
        return Fail(u"expected two files, LEFT and RIGHT; see --help."_s);

    TDiffOptions options;
    options.IgnoreCase = parser.isSet(ignoreCase);
    options.IgnoreAllWhiteSpace = parser.isSet(ignoreAllSpace);
    options.IgnoreWsAmount = parser.isSet(ignoreSpaceChange);
    options.IgnoreLeadingWhiteSpace = parser.isSet(ignoreLeadingSpace);
    options.IgnoreTrailingWhiteSpace = parser.isSet(ignoreTrailingSpace);
    options.IgnoreBlankLines = parser.isSet(ignoreBlankLines);

    try {
        TReportSide left;
        TReportSide right;
        LoadSides(paths[0], paths[1], left, right);
        const TDiffItems rows = ComputeDiff(left.Lines, right.Lines, options);
        WriteDiffReport(stdout, left, right, rows, parser.isSet(highlight), options.IgnoreCase);
        const bool differs =
            std::any_of(rows.cbegin(), rows.cend(), [](const TDiffItem &item) { return item.Kind != dkEqual; });
        // Ends here without destroying the lines: freeing them one by one
        // takes longer than writing the report, and the system takes all
        // the memory back at once.
        std::fflush(stdout);
        std::_Exit(differs ? ExitDifferent : ExitSame);
    } catch (const TUserError &error) {
        return Fail(error.Message());
    } catch (const std::bad_alloc &) {
        return Fail(u"out of memory."_s);
    }
}
