#include "OutputText.h"

#include <algorithm>
#include <array>

#include "kovText.h"

namespace {

// Codes 7..13: BEL, BS, TAB, LF, VT, FF, CR.
bool isLeadingControl(unsigned char c) { return c >= 7 && c <= 13; }
// The same without LF: a trailing line break stays part of the message.
bool isTrailingControl(unsigned char c) { return c >= 7 && c <= 13 && c != '\n'; }

}  // namespace

int OutputText_styleOf(std::string_view message)
{
    size_t start = message.find_first_not_of("\r\n");
    if (start == std::string_view::npos) {
        return OutputStylePlain;
    }
    message.remove_prefix(start);
    if (kov_startsWith(message, "[ERROR]")) {
        return OutputStyleError;
    }
    if (kov_startsWith(message, "[WARNING]")) {
        return OutputStyleWarning;
    }
    static constexpr std::array<std::string_view, 7> infoTags = {
        "[INPUT]", "[DEVICE]", "[VOLTAGE]", "[LIGHT]", "[PV]", "[EQE]", "[SIMUL]"};
    for (std::string_view tag : infoTags) {
        if (kov_startsWith(message, tag)) {
            return OutputStyleInfo;
        }
    }
    return OutputStylePlain;
}

std::string OutputAppend::text() const
{
    std::string out;
    for (int i = 0; i < lineBreaks; ++i) {
        out += "\r\n";
    }
    return out + body;
}

size_t OutputText_utf8Prefix(std::string_view text, size_t maxBytes)
{
    if (text.size() <= maxBytes) {
        return text.size();
    }
    size_t end = maxBytes;
    // Step back over continuation bytes to the lead byte of the character
    // that the cap would split, and leave that character out.
    size_t lead = end;
    while (lead > 0 && (static_cast<unsigned char>(text[lead]) & 0xC0) == 0x80) {
        --lead;
    }
    return lead;
}

OutputAppend OutputText_prepare(std::string_view message, bool consoleEndsEmptyLine)
{
    OutputAppend out;
    size_t begin = 0;
    int lineFeeds = 0;
    while (begin < message.size() && isLeadingControl(static_cast<unsigned char>(message[begin]))) {
        lineFeeds += message[begin] == '\n';
        ++begin;
    }
    size_t end = message.size();
    while (end > begin + 1 && isTrailingControl(static_cast<unsigned char>(message[end - 1]))) {
        --end;
    }
    std::string_view body = message.substr(begin, end - begin);
    out.lineBreaks = std::min(lineFeeds, 3);
    if (body.empty()) {
        return out;
    }
    if (out.lineBreaks > 0 && consoleEndsEmptyLine) {
        --out.lineBreaks;
    }
    out.body = std::string(body.substr(0, OutputText_utf8Prefix(body, OUTPUT_MESSAGE_CAP)));
    return out;
}

size_t OutputText_cutLength(std::string_view console)
{
    if (console.size() < OUTPUT_SIZE_CAP) {
        return 0;
    }
    size_t lineEnd = console.find('\n', console.size() / 2);
    return lineEnd == std::string_view::npos ? console.size() : lineEnd + 1;
}
