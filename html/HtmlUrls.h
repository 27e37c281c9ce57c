#pragma once
// Link URLs as file names: escapes decoded, "file:" prefixes dropped, "/" turned into the
// "\" the rest of the system writes, and the file found on disk whatever its letter case.
#include <string>
#include <string_view>

// "%" and two hexadecimal digits become that character. One pass: a decoded "%" never starts
// another escape, and "%00" stays as written (a NUL would cut the name short).
std::string HtmlUrlDecode(std::string_view url);
// The decoded URL as a path: with a "/" in it, a leading "file:///" or "file://" (any case)
// goes, every "|" becomes ":" and every "/" becomes "\".
std::string HtmlUrlToDos(std::string_view url);
// A name starting with "\" is taken below the server root.
std::string HtmlAddServerRoot(std::string_view name, std::string_view serverRoot);
// The file a path names on disk: a drive letter is dropped, a relative path is taken from
// `folder`, and each part is matched ignoring case. Empty when no such file exists.
std::string HtmlFindFile(std::string_view dosPath, std::string_view folder);
