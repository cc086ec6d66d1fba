// Which folders, patterns and names the scan may use, how exact paths are
// joined and handed to the platform, and how they are shown.
//
// Every file the program touches is named by its exact path: UTF-16, as the
// platform lists it. The window shows texts in code page 936 (GBK); a path's
// text is only for showing it. Texts that come from elsewhere (a row or an
// item the program did not make) name a file only when they do so without
// any doubt: see ExactFromText.
#pragma once

#include <string>
#include <string_view>

namespace ts::app {

// --- texts (code page 936) --------------------------------------------------
// Every test of a character steps through the text by characters, never
// bytes, so that a trail byte 0x5C ("\") of a double-byte character is never
// taken for a path separator.

// A drive path "X:\..." or a network path "\\server\share...".
bool IsAbsoluteFolder(std::string_view folder);
// A pattern piece containing "\", "/" or ":" would reach outside the folder
// being listed: it matches nothing.
bool PatternUsable(std::string_view piece);
// A name a text may use: it round-trips through the code page exactly (no
// substituted characters, so it can only ever name one entry) and does not
// end in a dot or a space (the platform strips those, so the name would
// reach another entry).
bool EntryNameSafe(std::string_view name);
// An absolute path whose every component after the root (the drive, or the
// server and share of a network path) is a name a text may use by the rule
// above; "." and ".." are refused too, since the platform rewrites them.
// Empty components (doubled backslashes) name nothing and pass.
bool PathTextSafe(std::string_view path);

// --- exact paths (UTF-16) ---------------------------------------------------

// The text as the platform's ANSI functions read it; empty when it is not
// valid in the code page.
std::wstring WideFromText(std::string_view text);
// The exact path a text names without doubt: its conversion when the text
// is safe by PathTextSafe, otherwise empty.
std::wstring ExactFromText(std::string_view text);
// The code-page text of a name that converts there and back unchanged;
// false for a name the code page cannot spell exactly.
bool SpelledExactly(std::wstring_view wide, std::string* out);
// How the window shows an exact path: its code-page text, with a "?" for
// each character the code page cannot spell (never a look-alike letter).
std::string ShownText(std::wstring_view wide);

// The folder followed by one backslash unless it already ends with one.
std::wstring WithBackslash(std::wstring_view folder);
// An absolute folder (a drive or network path) whose components are names a
// file can have: no "." or "..", and no character that no Windows name
// holds (wildcards, ":", "/", quotes, "<", ">", "|", control characters).
bool ExactFolderUsable(std::wstring_view folder);
// The path as the file functions take it without rewriting it: "\\?\"
// before a drive path, "\\?\UNC\" in place of a network path's "\\". The
// platform then strips no trailing dot or space and takes paths of any
// length, so the call reaches exactly the file named.
std::wstring VerbatimPath(std::wstring_view path);
// True when the shell, which takes no verbatim paths, would read the path
// as another one (a component ending in a dot or a space) or cannot take it
// at all (MAX_PATH characters or more): the shell must not be given it.
bool ShellWouldRewrite(std::wstring_view path);

}  // namespace ts::app
