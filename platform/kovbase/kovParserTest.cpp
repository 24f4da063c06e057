// The parser's self-test: a file of cases, each an expression and the
// answer it must give, run through one parser in order.
#include "kovbase.h"
#include "kovParser.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>

namespace {

// The number an answer shows ("x = 2.5" shows 2.5).
bool answerValue(const std::string& answer, double* value)
{
    const size_t eq = answer.find(" = ");
    const std::string number = eq == std::string::npos ? answer : answer.substr(eq + 3);
    char* end = nullptr;
    *value = kov_strtod(number.c_str(), &end);
    return !number.empty() && *end == '\0';
}

// Empty when the case passed, else what went wrong.
std::string check(int r, const std::string& answer, const std::string& expected)
{
    if (!expected.empty() && expected[0] == '!') {
        const std::string words = kov_trimmed(expected.substr(1));
        if (r == 1) {
            return "answered " + answer + " where a refusal was expected";
        }
        if (!words.empty() && words != answer) {
            return "refused with \"" + answer + "\"";
        }
        return "";
    }
    if (r != 1) {
        return "refused: " + answer;
    }
    if (!expected.empty() && expected[0] == '~') {
        double want = 0.0, got = 0.0;
        if (!answerValue(kov_trimmed(expected.substr(1)), &want)) {
            return "bad expected number";
        }
        if (!answerValue(answer, &got)) {
            return "answer " + answer + " is no number";
        }
        if (std::fabs(got - want) > 1e-12 * std::fabs(want) + 1e-300) {
            return "answered " + answer;
        }
        return "";
    }
    return answer == expected ? "" : "answered " + answer;
}

// An expression and its answer fit in well under this; a longer line is
// refused after this many bytes, without reading the rest of it.
constexpr size_t SELF_TEST_LINE_LIMIT = 4096;

// One line without its end; stops one byte past the limit. False at the
// end of the file.
bool readBoundedLine(std::istream& in, std::string* line)
{
    line->clear();
    char c = 0;
    bool any = false;
    while (in.get(c)) {
        any = true;
        if (c == '\n') {
            break;
        }
        line->push_back(c);
        if (line->size() > SELF_TEST_LINE_LIMIT) {
            break;
        }
    }
    return any;
}

}  // namespace

int kov_ParserTest(const char* fileName)
{
    std::ifstream file(fileName != nullptr ? fileName : "");
    if (!file) {
        kov_printf("Cannot open the self-test file '%s'\n", fileName != nullptr ? fileName : "");
        return 0;
    }
    kov_Parser* parser = kov_ParserCreate();
    if (parser == nullptr) {
        kov_printf("Cannot create the parser\n");
        return 0;
    }
    int cases = 0;
    int failed = 0;
    int lineNumber = 0;
    std::string line;
    while (readBoundedLine(file, &line)) {
        ++lineNumber;
        if (line.size() > SELF_TEST_LINE_LIMIT) {
            // Never held whole: a file of one huge line would fill memory.
            ++cases;
            ++failed;
            kov_printf("line %d: longer than %zu characters; the rest of the file is not read\n",
                       lineNumber, SELF_TEST_LINE_LIMIT);
            break;
        }
        const std::string text = kov_trimmed(line);
        if (text.empty() || text[0] == '#') {
            continue;
        }
        ++cases;
        const size_t arrow = text.find("==>");
        if (arrow == std::string::npos) {
            ++failed;
            kov_printf("line %d: no '==>' between expression and answer\n", lineNumber);
            continue;
        }
        const std::string expression = kov_trimmed(text.substr(0, arrow));
        const std::string expected = kov_trimmed(text.substr(arrow + 3));
        // The line goes through the same steps as a typed one; a long line
        // is handed over whole, so that the parser's own refusal is tested.
        std::string work = expression;
        kov_ParserRemSpace(work.data(), 0);
        work.resize(std::strlen(work.c_str()));
        char answer[KOV_PARSER_LINE];
        const int r = kov_ParserRun(work.c_str(), answer, parser);
        const std::string problem = check(r, answer, expected);
        if (!problem.empty()) {
            ++failed;
            kov_printf("line %d: %s ==> %s: %s\n", lineNumber, expression.c_str(), expected.c_str(),
                       problem.c_str());
        }
    }
    kov_ParserDelete(&parser);
    kov_printf("%d cases, %d passed, %d failed\n", cases, cases - failed, failed);
    return cases > 0 && failed == 0 ? 1 : 0;
}
