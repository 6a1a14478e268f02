#pragma once
// Where the generated textures go, and in which file formats.
#include <QImage>
#include <string>

namespace artgen {

// Uncompressed 32-bit true-colour TGA with an 8-bit alpha channel, rows stored bottom-up
// (origin flag: lower left). Returns false when the file cannot be written.
bool WriteTga(const QImage& image, const std::string& path);

class Output {
 public:
  // `root` is the game's data directory; textures go to its "Textures" folder.
  explicit Output(std::string root);

  // "Textures/<name>.tga"
  void Tga(const std::string& name, const QImage& image);
  // "Textures/<name>.bmp", 24-bit, for the places that load a Windows bitmap.
  void Bmp(const std::string& name, const QImage& image);

  int written() const { return written_; }
  bool failed() const { return failed_; }
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  int written_ = 0;
  bool failed_ = false;
};

}  // namespace artgen
