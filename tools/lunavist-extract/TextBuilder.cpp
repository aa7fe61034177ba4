// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextBuilder.h"

#include <utility>

using namespace Qt::StringLiterals;

void TTextBuilder::Append(QStringView text)
{
    // A line break inside a run of text (an escaped or decoded LF, a cell
    // written on two lines) ends the line like any paragraph end, so every
    // reader's text keeps the same line layout; CR LF is one break.
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n' && text[i] != u'\r')
            continue;
        Current() += text.sliced(start, i - start);
        EndLine();
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    Current() += text.sliced(start);
}

void TTextBuilder::EndLine()
{
    if (FInRow) {
        if (!FCell.isEmpty() && !FCell.endsWith(u' '))
            FCell += u' ';
        return;
    }
    EmitLine(FLine);
    FLine.clear();
}

void TTextBuilder::EndBlock()
{
    if (FInRow) {
        EndLine();
        return;
    }
    if (!FLine.isEmpty())
        EndLine();
}

void TTextBuilder::Tab()
{
    if (FInRow)
        EndLine();
    else
        FLine += u'\t';
}

bool TTextBuilder::AtLineStart() const
{
    return Current().isEmpty();
}

QChar TTextBuilder::LastChar() const
{
    const QString &current = Current();
    return current.isEmpty() ? QChar() : current.back();
}

void TTextBuilder::BeginRow()
{
    if (FInRow)
        EndRow(false);
    EndBlock();
    FInRow = true;
}

void TTextBuilder::EndCell()
{
    FInRow = true;
    // A space left by a paragraph end inside the cell is no text.
    while (FCell.endsWith(u' '))
        FCell.chop(1);
    FRow.append(FCell);
    FCell.clear();
}

void TTextBuilder::EndRow(bool dropTrailingEmpty)
{
    if (!FInRow)
        return;
    if (!FCell.isEmpty())
        EndCell();
    FInRow = false;
    if (dropTrailingEmpty) {
        while (!FRow.isEmpty() && FRow.back().isEmpty())
            FRow.removeLast();
    }
    if (!FRow.isEmpty())
        EmitLine(FRow.join(u'\t'));
    FRow.clear();
}

void TTextBuilder::StartSection()
{
    EndRow(false);
    EndBlock();
    FBlankLines = 0;
    FSectionStart = true;
}

void TTextBuilder::EmitLine(QStringView line)
{
    if (line.isEmpty()) {
        if (!FSectionStart)
            ++FBlankLines;
        return;
    }
    if (FSectionStart) {
        if (!FText.isEmpty())
            FText += u'\n'; // the one blank line between sections
        FSectionStart = false;
    }
    for (; FBlankLines > 0; --FBlankLines)
        FText += u'\n';
    FText += line;
    FText += u'\n';
}

QString TTextBuilder::Finish()
{
    StartSection();
    return std::exchange(FText, QString());
}
