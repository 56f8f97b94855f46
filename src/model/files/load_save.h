#pragma once

// Loading and saving whole drawings, the backup, and the 3D viewer's
// hand-off file. Questions, file choosers, messages and the refreshes after
// a load go through the ui table.

#include <cstdio>
#include <memory>
#include <string>

// The current drawing's path.
extern std::string drawing_file;

// Mode 0 asks for the file, any other mode loads path. The file is read into
// an empty drawing while the open one is set aside; only a file read to its
// end replaces it. A file that cannot be opened, is no drawing or is cut or
// broken leaves the drawing, its settings, drawing_file, the modified flag
// and the undo history exactly as they were, and says why. Returns 1 when a
// drawing was read.
int kavfile_load_drawing(int mode, const char* path);
// The drawing named at start-up, loaded as above. A name no file has yet
// names the new drawing; a file that is there but could not be loaded
// leaves the drawing unnamed, so that the next save does not replace it.
int kavfile_load_start_drawing(const std::string& path);
// Mode 0 asks for the file and saves the drawing into it; mode 1 writes the
// backup "<drawing_file>.bak" and leaves drawing_file and drawing_modified
// alone. A file is only replaced by a completely written one; a failure says
// so and keeps the drawing modified. Returns 1 when the file was written.
int kavfile_save_drawing(int mode);
// The header and the marked elements, for the external 3D viewer.
int kavfile_write_marked(const char* path);

// Every value a settings, layer or layer-set chunk can change, copied when
// the snapshot is taken; put_back() makes them so again, for a settings file
// that is applied whole or not at all.
class KavSettingsSnapshot {
 public:
  KavSettingsSnapshot();
  ~KavSettingsSnapshot();
  KavSettingsSnapshot(const KavSettingsSnapshot&) = delete;
  KavSettingsSnapshot& operator=(const KavSettingsSnapshot&) = delete;
  void put_back() const;

 private:
  struct Copy;
  std::unique_ptr<Copy> copy_;
};

// The interface after a drawing or settings file was read: refreshes, the
// plan view.
void kavfile_refresh_after_read(bool settings_file);
// Writes path with write() through a temporary file that replaces path only
// when complete; shows cannot_open or cannot_write (translated) on failure.
// Returns 1 when written.
int kavfile_write_file(const std::string& path, int (*write)(std::FILE*), const char* cannot_open,
                       const char* cannot_write);
