#pragma once

// The help pages in the installation's "doc" folder, shown in a web browser
// of the user's choice, and the browser search behind it.
//
// The browser is the settings value help_browser (a command line of the
// user's own: "firefox" or "firefox --new-window") or else the first of a
// fixed list of browsers found on PATH. It starts from an argument vector
// with the page's file URL as its last argument, never through a shell.

#include <string>
#include <vector>

// The names tried after the configured command, in order. The last two are
// the desktop's own choices, found on systems that have none of the others.
const std::vector<std::string>& help_browser_candidates();

// Finds a browser: the configured command ("./nshelp" counts as "mozilla")
// when its program is on PATH, else the first candidate on PATH, which then
// becomes help_browser. find looks a program up and returns its path or "".
// Returns the words of the command to start, empty when there is none.
std::vector<std::string> help_find_browser(std::string (*find)(const std::string& name));

// The file URL of page (with "#anchor" when anchor is not empty) in the doc
// folder of folder: "file:///opt/kavro/doc/8.html#8-2". Characters outside
// the unreserved set are percent-encoded.
std::string help_page_url(const std::string& folder, const std::string& page, const std::string& anchor = "");

// page, or its German version "de/<page>" when the interface speaks German
// and folder's doc folder has one.
std::string help_page_in_language(const std::string& folder, const std::string& page);

// Shows page of the working folder's doc folder in the browser, started in
// the background. Says "Cannot start %s" with the manual's path when no
// browser starts, or when the one started ends with a failure (as a
// desktop opener does that finds no browser); that is watched on the main
// loop through help_browser_check.
void help_show_page(const char* page, const char* anchor = "");
// Whether the browser last started has ended (saying so when it failed);
// true too when none is watched. With wait, waits for it to end.
bool help_browser_check(bool wait);
