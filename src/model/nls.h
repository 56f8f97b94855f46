#pragma once

// Interface texts pass through nls_translate, keyed by their English
// wording. Until a translation table is installed the key itself is returned.

// Returns the translation of key; the pointer stays valid for the run.
const char* nls_translate(const char* key);

// Marks a text kept in a table and translated later through a variable, so
// that the check of the translation table finds it. Returns key unchanged.
constexpr const char* nls_mark(const char* key) { return key; }

// Installs the lookup used by nls_translate (null restores the identity).
using NlsLookupFn = const char* (*)(const char* key);
void nls_set_lookup(NlsLookupFn fn);
