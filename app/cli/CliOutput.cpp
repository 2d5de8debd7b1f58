#include "app/cli/CliOutput.h"

#include "app/cli/Utf8Check.h"

#include <algorithm>

namespace velmora::cli {

namespace {

int Report(const Streams& io, std::string_view reason, int status)
{
    std::fprintf(io.err, "%s: %.*s\n", kProgram, static_cast<int>(reason.size()), reason.data());
    std::fflush(io.err);
    return status;
}

// Characters a terminal shows, counting each UTF-8 sequence once.
size_t Width(std::string_view text)
{
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

} // namespace

int Fail(const Streams& io, std::string_view reason)
{
    return Report(io, reason, kExitFailure);
}

int UsageError(const Streams& io, std::string_view reason)
{
    return Report(io, reason, kExitUsage);
}

std::string PlainText(std::string_view text)
{
    std::string out;
    for (const Utf8Piece& piece : Utf8Pieces(text)) {
        if (!piece.valid)
            out += kReplacementCharacter;
        else if (piece.codePoint < 0x20 || (piece.codePoint >= 0x7F && piece.codePoint < 0xA0))
            out += '?';
        else
            out += piece.bytes;
    }
    return out;
}

void PrintTable(std::FILE* out, const std::vector<std::string>& headings,
                const std::vector<std::vector<std::string>>& rows)
{
    std::vector<size_t> widths;
    for (const auto& heading : headings)
        widths.push_back(Width(heading));
    for (const auto& row : rows) {
        for (size_t i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], Width(row[i]));
    }
    auto print = [&](const std::vector<std::string>& cells) {
        std::string line;
        for (size_t i = 0; i < cells.size() && i < widths.size(); ++i) {
            line += cells[i];
            if (i + 1 < cells.size())
                line.append(widths[i] - Width(cells[i]) + 2, ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1); // an empty last cell
        std::fprintf(out, "%s\n", line.c_str());
    };
    print(headings);
    for (const auto& row : rows)
        print(row);
}

} // namespace velmora::cli
