#pragma once

// The chunk file shared by drawings, settings files, symbols, the clipboard
// and the 3D viewer's hand-off file: its header, the element, layer and
// settings chunks, the writers and the reader.
//
// Every writer returns 1 on success and 0 at the first failed write.

#include <cstddef>
#include <cstdint>
#include <cstdio>

struct ElemHeader;

inline constexpr int32_t KAV_FILE_VERSION = 300;  // shown as 3.00
extern int32_t file_version;                      // what the writers put into the header

// 1 while the file being read uses the old layer numbering (it had an old
// layer chunk): layers 10..99 of its elements are renumbered.
extern int layer_remap_old;
// Elements the reader created; callers reset it before reading.
extern int loaded_count;
// The reader takes the file in pieces of this many bytes (a piece grows to
// hold a larger item whole); tests make it tiny, so that items straddle the
// pieces' borders.
inline constexpr std::size_t KAV_READ_PIECE_BYTES = std::size_t{1} << 18;
extern std::size_t kavfile_read_buffer_bytes;

int kavfile_write_header(std::FILE* f);
// One chunk for e; an element of an unknown kind writes nothing and succeeds.
int kavfile_write_element(std::FILE* f, const ElemHeader* e);
// Every element whose mark equals mark, in list order. Prints "e1" on
// standard output at the first failure.
int kavfile_write_elements(std::FILE* f, int mark);
// One LAY3 chunk per layer that holds elements or has a name of its own (not
// beginning with "Ebene" or "Layer"), then LAYG.
int kavfile_write_layers(std::FILE* f);
// One LAS3 chunk per layer set, in list order.
int kavfile_write_layer_sets(std::FILE* f);
// The settings chunks, in their fixed order.
int kavfile_write_settings(std::FILE* f);
// The chunks only settings files carry: folders, screen aspect, backup.
int prefs_write_file_chunks(std::FILE* f);
// A whole drawing: header, settings, layers, layer sets, the unmarked elements.
int kavfile_write_drawing(std::FILE* f);
// A backup of the drawing: as kavfile_write_drawing, but with every element
// on a real layer (0..999), marked or not, so that a selection held while the
// backup is taken is in it too.
int kavfile_write_backup(std::FILE* f);

// Reads the header chunk; returns the file's version, 0 when the stream does
// not begin with a KAVW or KAVV header. It also starts a new file for the
// reader: sizes are 16-bit after KAVV, and the old layer numbering is off.
int kavfile_read_header(std::FILE* f);

enum : int {
  // Reading the user's own settings file: command lines and output files are
  // taken, the settings-file chunks are read, element chunks are skipped.
  KAV_READ_SETTINGS_FILE = 1,
  // Reading a symbol or the clipboard: only element chunks are taken;
  // settings, layer and layer-set chunks are skipped, so the drawing's own
  // stay, and cameras come in inactive.
  KAV_READ_ELEMENTS_ONLY = 2,
};

// What went wrong while reading, for the message after a load.
struct KavReadReport {
  int damaged = 0;    // 1: the file is cut or broken; what came before was read
  int rejected = 0;   // elements not loaded because their content was invalid
  int repaired = 0;   // elements loaded with an invalid layer, pen or line type set to 0
  int adjusted = 0;   // settings whose stored value lay outside their range, brought into it
  int unknown = 0;    // chunks skipped because their tag is unknown
  int cancelled = 0;  // 1: Cancel in the progress window stopped the reading
  int max_group = 0;  // the highest group of the elements loaded
};

// Reads every chunk after the header. Elements get the given mark. Returns
// 1, or 0 when a dimension's entries could not be read; what was read before
// a failure stays. Unknown chunks are skipped with "unknown key *TAG*
// size:N" on standard output. With a progress title, a large file shows
// the progress window while it is read; its Cancel stops the reading (then
// report's cancelled is set, and the elements read so far stay for the
// caller to remove).
int kavfile_read_chunks(std::FILE* f, int mark, int flags = 0, KavReadReport* report = nullptr,
                        const char* progress_title = nullptr);
// Reads the payload of one settings or layer chunk whose tag was just read.
// Returns 1 when the tag is known and its fields were read, else 0.
int kavfile_read_settings_chunk(std::FILE* f, const char* tag);
// Shows what a report holds (nothing for a clean read).
void kavfile_report_problems(const KavReadReport& report);

// Old layer numbering: 10..99 become tens x 100 + units (25 -> 205).
uint16_t kavfile_map_old_layer(uint16_t layer);
// The font of an old font number into name (FONT_NAME_LEN bytes); "" when unknown.
void kavfile_old_font_name(int number, char* name);
