#pragma once

// Interface texts pass through nls_translate, keyed by their English
// wording. Until a translation table is installed the key itself is returned.

// Returns the translation of key; the pointer stays valid for the run.
const char* nls_translate(const char* key);

// Installs the lookup used by nls_translate (null restores the identity).
using NlsLookupFn = const char* (*)(const char* key);
void nls_set_lookup(NlsLookupFn fn);
