#include "model/nls.h"

namespace {
NlsLookupFn lookup = nullptr;
}

const char* nls_translate(const char* key) {
  if (!key) return "";
  if (lookup) {
    if (const char* t = lookup(key)) return t;
  }
  return key;
}

void nls_set_lookup(NlsLookupFn fn) { lookup = fn; }
