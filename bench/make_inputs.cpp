// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the benchmark inputs into a folder:
//   a-left.txt / a-right.txt  100,000 lines against a copy with 1% of lines changed, inserted or deleted
//   b-left.txt / b-right.txt  two unrelated 20,000-line files
//   c-left.txt / c-right.txt  100,000 lines against a shuffled copy of themselves
// The same seed always gives the same files.

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using TLines = std::vector<std::string>;

std::string RandomLine(std::mt19937_64 &random)
{
    // Source-like lines: an indent and a few words from a small vocabulary,
    // and a number, so most lines are distinct but words repeat.
    static const char *const words[] = {"int", "return", "value", "index", "if", "(", ")", "{", "}",
                                        "count", "=", "+", "name", "list", "for", "while", ";"};
    std::string line(std::size_t(random() % 4) * 4, ' ');
    const int wordCount = 2 + int(random() % 8);
    for (int w = 0; w < wordCount; ++w) {
        line += words[random() % (sizeof(words) / sizeof(words[0]))];
        line += ' ';
    }
    return line + std::to_string(random() % 100000);
}

TLines RandomFile(std::mt19937_64 &random, int lineCount)
{
    TLines lines;
    for (int i = 0; i < lineCount; ++i)
        lines.push_back(RandomLine(random));
    return lines;
}

TLines EditedCopy(std::mt19937_64 &random, const TLines &original, int percent)
{
    TLines copy;
    for (const std::string &line : original) {
        if (int(random() % 100) >= percent) {
            copy.push_back(line);
            continue;
        }
        switch (random() % 3) {
        case 0:
            copy.push_back(line + " changed");
            break;
        case 1:
            copy.push_back(RandomLine(random));
            copy.push_back(line);
            break;
        default:
            break; // deleted
        }
    }
    return copy;
}

bool Write(const std::string &path, const TLines &lines)
{
    std::ofstream out(path, std::ios::binary);
    for (const std::string &line : lines)
        out << line << '\n';
    return bool(out);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    std::mt19937_64 random(20261210);

    const TLines a = RandomFile(random, 100000);
    TLines shuffled = RandomFile(random, 100000);
    TLines c = shuffled;
    std::shuffle(shuffled.begin(), shuffled.end(), random);

    const bool ok = Write(folder + "/a-left.txt", a) && Write(folder + "/a-right.txt", EditedCopy(random, a, 1))
                    && Write(folder + "/b-left.txt", RandomFile(random, 20000))
                    && Write(folder + "/b-right.txt", RandomFile(random, 20000))
                    && Write(folder + "/c-left.txt", c) && Write(folder + "/c-right.txt", shuffled);
    if (!ok) {
        std::fprintf(stderr, "cannot write into %s\n", folder.c_str());
        return 2;
    }
    return 0;
}
