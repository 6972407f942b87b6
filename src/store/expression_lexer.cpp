// Splits an expression text into tokens.

#include "store/expression_internal.h"

#include <cctype>

namespace qp::store::expr {

std::string positionError(int pos, std::string_view what) {
    std::string message = "Syntax error at position ";
    message += std::to_string(pos + 1);
    message += ": ";
    message += what;
    return message;
}

namespace {

bool isIdentStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool isIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool matchesWord(std::string_view text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[at + i])) != word[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

Result<std::vector<Token>> tokenize(std::string_view text) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    const std::size_t n = text.size();
    const auto peek = [&](std::size_t k) { return i + k < n ? text[i + k] : '\0'; };
    const auto add = [&](Tok kind, std::size_t length) {
        tokens.push_back({kind, static_cast<int>(i), text.substr(i, length), 0});
        i += length;
    };
    while (i < n) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c == '"' || c == '\'' || c == '[') {
            const char close = c == '[' ? ']' : c;
            const std::size_t end = text.find(close, i + 1);
            if (end == std::string_view::npos) {
                std::string what = "text begun here has no closing ";
                what += '"';
                what += close;
                what += '"';
                return fail(positionError(static_cast<int>(i), what));
            }
            tokens.push_back(
                {Tok::String, static_cast<int>(i), text.substr(i + 1, end - i - 1), 0});
            i = end + 1;
            continue;
        }
        if (isDigit(c) || (c == '.' && isDigit(peek(1)))) {
            std::size_t k = i;
            while (k < n && isDigit(text[k])) {
                ++k;
            }
            // "1.and." keeps its dot for the operator.
            if (k < n && text[k] == '.' &&
                !(k + 1 < n && std::isalpha(static_cast<unsigned char>(text[k + 1])))) {
                ++k;
                while (k < n && isDigit(text[k])) {
                    ++k;
                }
            }
            Token t{Tok::Number, static_cast<int>(i), text.substr(i, k - i), 0};
            t.number = parseNumber(t.text);
            tokens.push_back(t);
            i = k;
            continue;
        }
        if (c == '.') {
            struct DotWord {
                std::string_view word;
                Tok kind;
            };
            static constexpr DotWord kDotWords[] = {
                {".AND.", Tok::And}, {".OR.", Tok::Or},  {".NOT.", Tok::Not}, {".T.", Tok::True},
                {".F.", Tok::False}, {".Y.", Tok::True}, {".N.", Tok::False}};
            bool found = false;
            for (const DotWord& w : kDotWords) {
                if (matchesWord(text, i, w.word)) {
                    add(w.kind, w.word.size());
                    found = true;
                    break;
                }
            }
            if (!found) {
                return fail(
                    positionError(static_cast<int>(i), ".AND., .OR., .NOT., .T. or .F. expected"));
            }
            continue;
        }
        if (isIdentStart(c)) {
            std::size_t k = i;
            while (k < n && isIdentChar(text[k])) {
                ++k;
            }
            add(Tok::Ident, k - i);
            continue;
        }
        switch (c) {
        case '(':
            add(Tok::LParen, 1);
            break;
        case ')':
            add(Tok::RParen, 1);
            break;
        case ',':
            add(Tok::Comma, 1);
            break;
        case '+':
            add(Tok::Plus, 1);
            break;
        case '-':
            add(Tok::Minus, 1);
            break;
        case '*':
            if (peek(1) == '*') {
                add(Tok::Power, 2);
            } else {
                add(Tok::Star, 1);
            }
            break;
        case '/':
            add(Tok::Slash, 1);
            break;
        case '%':
            add(Tok::Percent, 1);
            break;
        case '^':
            add(Tok::Power, 1);
            break;
        case '$':
            add(Tok::Dollar, 1);
            break;
        case '#':
            add(Tok::Ne, 1);
            break;
        case '=':
            if (peek(1) == '=') {
                add(Tok::ExactEq, 2);
            } else {
                add(Tok::Eq, 1);
            }
            break;
        case '!':
            if (peek(1) == '=') {
                add(Tok::Ne, 2);
            } else {
                add(Tok::Not, 1);
            }
            break;
        case '<':
            if (peek(1) == '=') {
                add(Tok::Le, 2);
            } else if (peek(1) == '>') {
                add(Tok::Ne, 2);
            } else {
                add(Tok::Lt, 1);
            }
            break;
        case '>':
            if (peek(1) == '=') {
                add(Tok::Ge, 2);
            } else {
                add(Tok::Gt, 1);
            }
            break;
        default: {
            std::string what = "unexpected character \"";
            what += c;
            what += '"';
            return fail(positionError(static_cast<int>(i), what));
        }
        }
    }
    tokens.push_back({Tok::End, static_cast<int>(n), {}, 0});
    return tokens;
}

} // namespace qp::store::expr
