#pragma once

// The translation table: every interface text is written in English and
// looked up in the table file "./nls/kav.nls" of the installation the program
// runs from.
//
// The file is UTF-8 text: the number of languages N, then for each language
// its locale name and its language name (one line each), then the number of
// entries M, then M entries of one separator line followed by the text in
// each language, English first. A newline inside a text is written as "|".
// A text the table lacks is shown in English and appended to the file (the
// further languages get "*" and the English text), so translators find every
// text the program shows; M is not rewritten, so such entries are found by a
// scan of the file rather than loaded.
//
// The chosen language is a language name read from "$HOME/.kavro3/language",
// or else from "./nls/language"; the settings change language_index, which is
// written back at exit and takes effect at the next start.

#include <string>
#include <vector>

inline constexpr int NLS_MAX_LANGUAGES = 20;

extern int language_count;                         // languages kept (at most 20)
extern std::vector<std::string> language_locales;  // locale name per language
extern std::vector<std::string> languages;         // language name per language
extern std::string chosen_language;                // "english" unless a language file names another
extern int language_index;                         // the language chosen in the settings
extern int nls_text_language;                      // the language whose texts are loaded
extern int nls_entry_count;                        // entries loaded
extern int nls_appended;                           // entries appended during this run

// Fills chosen_language from the first line of the language file.
void nls_read_language();
// Reads the chosen language and the table and installs the lookup behind
// nls_translate. Without a table every lookup prints "nls is not active!"
// and returns the English text. A translation whose printf conversions differ
// from the English text's is not used (the English text is), so a table can
// never turn a format into one that reads the wrong arguments.
void nls_load();
// Releases the table and writes the name of language language_index to
// "$HOME/.kavro3/language" when it differs from the language loaded.
void nls_save_language();
// Turns every newline into "|" and every "|" into a newline, in place.
void nls_swap_bars(char* text);
void nls_swap_bars(std::string& text);

// The lookup nls_load installs: the text in the loaded language, or english.
const char* nls_lookup(const char* english);

// The printf conversion specifications of text in order ("%%" is none), such
// as {"%s", "%.0f"}; an unfinished one at the end counts as written.
std::vector<std::string> nls_conversions(const std::string& text);
