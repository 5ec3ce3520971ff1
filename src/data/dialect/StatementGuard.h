#pragma once
#include <QString>
#include <functional>
#include <optional>

namespace nbk::data {

// Whether the session reads a backslash in a plain '...' literal as an escape, as
// PostgreSQL does with standard_conforming_strings off; nullopt when it cannot tell.
// Asked only for a text that the two readings split differently.
using BackslashEscapes = std::function<std::optional<bool>()>;

// True when the text holds a second statement after a ";", read as PostgreSQL's lexer
// reads it: plain, escape (E'..'), bit, national and Unicode strings with their
// continuation lines, quoted names, dollar quotes with tags, nested block comments and
// line comments. An unterminated literal or comment counts as a second statement when a
// ";" follows its start (the server refuses such a text anyway). Without a reading,
// backslashes are plain characters.
bool holdsMoreThanOneStatement(const QString &sql, const BackslashEscapes &plainStringEscapes = {});

}  // namespace nbk::data
