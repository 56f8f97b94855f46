#include "model/files/chunk_table.h"

#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "model/consts.h"
#include "model/files/bytes.h"
#include "model/files/kavfile.h"
#include "model/value_range.h"

namespace {

uint32_t field_file_bytes(const Field& f) {
  switch (f.type) {
    case FieldType::F64:
      return 8;
    case FieldType::I32:
    case FieldType::FLAG32:
    case FieldType::COUNT:
      return 4;
    case FieldType::U8:
    case FieldType::OLD_FONT:
      return 1;
    case FieldType::TEXT:
    case FieldType::BYTES:
      return f.len;
    case FieldType::ARRAY:
    case FieldType::TAIL_TEXT:
      return 0;
  }
  return 0;
}

bool in_range(const Field& f, int32_t v) { return f.lo > f.hi || (v >= f.lo && v <= f.hi); }

// Copies a fixed text field of the file: up to its first NUL and at most
// n - 1 bytes, the rest of the field zeroed, so the field is always ended.
void store_text(char* dst, std::size_t n, std::string_view src) {
  std::size_t k = 0;
  const std::size_t max = n - 1 < src.size() ? n - 1 : src.size();
  while (k < max && src[k] != '\0') ++k;
  std::memcpy(dst, src.data(), k);
  std::memset(dst + k, 0, n - k);
}

uint32_t* count_slot(ChunkReadCtx& ctx, const ArrayDesc* a) {
  for (int i = 0; i < ctx.counts; ++i)
    if (ctx.count_array[i] == a) return &ctx.count_value[i];
  if (ctx.counts == 4) return nullptr;
  ctx.count_array[ctx.counts] = a;
  ctx.count_value[ctx.counts] = 0;
  return &ctx.count_value[ctx.counts++];
}

ReadStatus read_array(ByteReader& r, const ArrayDesc& a, void* base, ChunkReadCtx& ctx,
                      const FieldPlan* items) {
  std::size_t n = 0;
  if (a.derived_count) {
    // An invalid record gives no count, so nothing says where the items end.
    if (!base || !a.derived_count(base, &n)) {
      ctx.end_unknown = true;
      return ReadStatus::REJECTED;
    }
  } else {
    const uint32_t* slot = count_slot(ctx, &a);
    if (!slot) return ReadStatus::FAILED;
    n = *slot;
  }
  const uint32_t item = fields_fixed_bytes(a.fields);
  // A count larger than the bytes left can only come from a broken file:
  // fail before allocating anything for it.
  if (item > 0 && n > r.left() / item) {
    ctx.failure_result = a.failure_result;
    r.fail();
    return ReadStatus::FAILED;
  }
  // More items than the program holds: the element is left out, but its
  // items are still read past, so the next chunk starts after them.
  const bool too_many = a.max_items > 0 && n > static_cast<std::size_t>(a.max_items);
  void* into = too_many ? nullptr : base;
  if (into) a.resize(into, n);
  for (std::size_t i = 0; i < n; ++i) {
    ReadStatus s = read_fields(r, a.fields, into ? a.item(into, i) : nullptr, ctx, items);
    if (s != ReadStatus::OK) {
      if (s == ReadStatus::FAILED) ctx.failure_result = a.failure_result;
      return s;
    }
  }
  return too_many ? ReadStatus::REJECTED : ReadStatus::OK;
}

// Where field i of the list stores its value in base.
void* value_at(const Field& f, std::size_t i, void* base, const FieldPlan* plan) {
  return plan ? static_cast<char*>(base) + plan->offset[i] : f.addr(base);
}

// Reads field i of the list into base (null: reads and drops the value).
// Anything but OK ends the list.
ReadStatus read_field(ByteReader& r, std::span<const Field> fields, std::size_t i, void* base,
                      ChunkReadCtx& ctx, const FieldPlan* plan) {
  const Field& f = fields[i];
  switch (f.type) {
    case FieldType::F64: {
      double v;
      if (!r.f64(v)) return ReadStatus::FAILED;
      if (!base) break;
      if ((f.flags & FIELD_TRUSTED) && !ctx.trusted) break;
      if (f.values && !f.values->holds(v)) {
        v = f.values->clamp(v);
        ++ctx.adjusted;
      }
      *static_cast<double*>(value_at(f, i, base, plan)) = v;
      break;
    }
    case FieldType::I32: {
      int32_t v;
      if (!r.i32(v)) return ReadStatus::FAILED;
      if (base && in_range(f, v)) *static_cast<int32_t*>(value_at(f, i, base, plan)) = v;
      break;
    }
    case FieldType::U8: {
      uint8_t v;
      if (!r.u8(v)) return ReadStatus::FAILED;
      if (base && in_range(f, v))
        *static_cast<uint8_t*>(value_at(f, i, base, plan)) = checked_code(f.flags, v, ctx);
      break;
    }
    case FieldType::FLAG32: {
      uint32_t v;
      if (!r.u32(v)) return ReadStatus::FAILED;
      if (base) *static_cast<uint8_t*>(value_at(f, i, base, plan)) = v != 0 ? 1 : 0;
      break;
    }
    case FieldType::OLD_FONT: {
      uint8_t v;
      if (!r.u8(v)) return ReadStatus::FAILED;
      if (!base) break;
      char name[FONT_NAME_LEN];
      kavfile_old_font_name(v, name);
      store_text(static_cast<char*>(value_at(f, i, base, plan)), f.len, name);
      break;
    }
    case FieldType::TEXT: {
      std::string_view v;
      if (!r.block(f.len, v)) return ReadStatus::FAILED;
      if (!base || ((f.flags & FIELD_TRUSTED) && !ctx.trusted)) break;
      store_text(static_cast<char*>(value_at(f, i, base, plan)), f.len, v);
      break;
    }
    case FieldType::BYTES: {
      std::string_view v;
      if (!r.block(f.len, v)) return ReadStatus::FAILED;
      if (base) std::memcpy(value_at(f, i, base, plan), v.data(), f.len);
      break;
    }
    case FieldType::COUNT: {
      uint32_t v;
      if (!r.u32(v)) return ReadStatus::FAILED;
      uint32_t* slot = count_slot(ctx, f.array);
      if (!slot) return ReadStatus::FAILED;
      *slot = v;
      break;
    }
    case FieldType::ARRAY: {
      ReadStatus s = read_array(r, *f.array, base, ctx, plan ? plan->items[i].get() : nullptr);
      if (s == ReadStatus::FAILED || ctx.end_unknown) return s;
      if (s == ReadStatus::REJECTED) {
        // Read past the rest of the rejected record to its end.
        const auto rest = fields.subspan(i + 1);
        s = read_fields(r, rest, nullptr, ctx);
        return s == ReadStatus::FAILED ? s : ReadStatus::REJECTED;
      }
      break;
    }
    case FieldType::TAIL_TEXT: {
      // The text fills the chunk after the fixed fields: its bytes, NUL included.
      if (ctx.size < f.len + 1u) {
        r.fail();
        return ReadStatus::FAILED;
      }
      std::string_view v;
      if (!r.block(ctx.size - f.len, v)) return ReadStatus::FAILED;
      if (base) static_cast<std::string*>(value_at(f, i, base, plan))->assign(v.substr(0, v.find('\0')));
      break;
    }
  }
  return ReadStatus::OK;
}

// A plain double: stored as read, whatever its value.
bool plain_f64(const Field& f) { return f.type == FieldType::F64 && f.flags == 0 && !f.values; }

}  // namespace

uint8_t checked_code(uint8_t flags, uint8_t v, ChunkReadCtx& ctx) {
  bool ok = true;
  if (flags & FIELD_PEN) ok = v < PEN_COUNT || v == PEN_GUIDE;
  if (flags & FIELD_LINE_TYPE)
    ok = v < LINE_TYPE_COUNT || v == LINE_TYPE_PATTERN_POINTS || v == LINE_TYPE_PATTERN_FILLING;
  if (ok) return v;
  ++ctx.repaired;
  return 0;
}

uint32_t fields_fixed_bytes(std::span<const Field> fields) {
  uint32_t n = 0;
  for (const Field& f : fields) n += field_file_bytes(f);
  return n;
}

uint32_t fields_bytes(std::span<const Field> fields, const void* base) {
  uint32_t n = 0;
  for (const Field& f : fields) {
    if (f.type == FieldType::ARRAY)
      n += static_cast<uint32_t>(f.array->size(base)) * fields_fixed_bytes(f.array->fields);
    else if (f.type == FieldType::TAIL_TEXT)
      n +=
          static_cast<uint32_t>(static_cast<const std::string*>(f.addr(const_cast<void*>(base)))->size()) + 1;
    else
      n += field_file_bytes(f);
  }
  return n;
}

void write_fields(ByteWriter& w, std::span<const Field> fields, const void* cbase) {
  void* base = const_cast<void*>(cbase);
  for (const Field& f : fields) {
    switch (f.type) {
      case FieldType::F64:
        w.f64(*static_cast<const double*>(f.addr(base)));
        break;
      case FieldType::I32:
        w.i32(*static_cast<const int32_t*>(f.addr(base)));
        break;
      case FieldType::U8:
        w.u8(*static_cast<const uint8_t*>(f.addr(base)));
        break;
      case FieldType::TEXT: {
        // Out of the record as it is: the text, its NUL and the zeroed rest.
        const char* t = static_cast<const char*>(f.addr(base));
        const std::size_t k = strnlen(t, f.len - 1u);
        w.block(t, k);
        w.zeros(f.len - k);
        break;
      }
      case FieldType::BYTES:
        w.block(f.addr(base), f.len);
        break;
      case FieldType::COUNT:
        w.u32(static_cast<uint32_t>(f.array->size(base)));
        break;
      case FieldType::ARRAY: {
        const std::size_t n = f.array->size(base);
        for (std::size_t i = 0; i < n; ++i) write_fields(w, f.array->fields, f.array->item(base, i));
        break;
      }
      case FieldType::TAIL_TEXT: {
        const auto* s = static_cast<const std::string*>(f.addr(base));
        const std::size_t k = strnlen(s->data(), s->size());  // a text ends at its first NUL
        w.block(s->data(), k);
        w.zeros(1 + (s->size() - k));
        break;
      }
      case FieldType::FLAG32:
      case FieldType::OLD_FONT:
        break;  // only older chunks have them, and those are never written
    }
  }
}

std::unique_ptr<FieldPlan> field_plan(std::span<const Field> fields, void* a, void* b) {
  auto plan = std::make_unique<FieldPlan>();
  plan->offset.assign(fields.size(), 0);
  plan->items.resize(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const Field& f = fields[i];
    if (f.type == FieldType::ARRAY) {
      // Two items of one record stand in for the items of any record.
      const ArrayDesc& arr = *f.array;
      arr.resize(a, 2);
      plan->items[i] = field_plan(arr.fields, arr.item(a, 0), arr.item(a, 1));
      arr.resize(a, 0);
      if (!plan->items[i]) return nullptr;
    }
    if (!f.addr) continue;
    const std::ptrdiff_t at_a = static_cast<char*>(f.addr(a)) - static_cast<char*>(a);
    const std::ptrdiff_t at_b = static_cast<char*>(f.addr(b)) - static_cast<char*>(b);
    if (at_a != at_b) return nullptr;  // not a member: a global, say
    plan->offset[i] = at_a;
  }
  for (std::size_t i = 0; i < fields.size();) {
    std::size_t n = 0;
    while (i + n < fields.size() && plain_f64(fields[i + n])) ++n;
    if (n > 0) {
      plan->steps.push_back({i, n, true});
      i += n;
    } else {
      plan->steps.push_back({i, 1, false});
      ++i;
    }
  }
  return plan;
}

ReadStatus read_fields(ByteReader& r, std::span<const Field> fields, void* base, ChunkReadCtx& ctx,
                       const FieldPlan* plan) {
  if (!plan) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const ReadStatus s = read_field(r, fields, i, base, ctx, nullptr);
      if (s != ReadStatus::OK) return s;
    }
    return ReadStatus::OK;
  }
  for (const FieldPlan::Step& step : plan->steps) {
    if (!step.run) {
      const ReadStatus s = read_field(r, fields, step.first, base, ctx, plan);
      if (s != ReadStatus::OK) return s;
      continue;
    }
    // A run of plain doubles: one bounds check, then straight copies.
    std::string_view bytes;
    if (!r.block(8 * step.count, bytes)) return ReadStatus::FAILED;
    if (!base) continue;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    char* record = static_cast<char*>(base);
    for (std::size_t k = 0; k < step.count; ++k) {
      const double v = std::bit_cast<double>(be_load64(p + 8 * k));
      std::memcpy(record + plan->offset[step.first + k], &v, sizeof v);
    }
  }
  return ReadStatus::OK;
}
