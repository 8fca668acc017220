// What the rendering job needs of the file system and of memory. The program
// uses NativeRenderEnvironment; tests substitute failures through the same
// interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace marvolen {

// An output file held open for writing, with no other process allowed in.
// Destroying it closes it quietly; Close() reports whether that worked.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // True only when every byte was written.
  virtual bool WriteAll(const uint8_t* data, size_t size) = 0;
  // True when the file was closed and its contents committed.
  virtual bool Close() = 0;
  // Closes the file and deletes it by its path; failures are not reported.
  // Only an ordinary file is deleted, never a device the user named.
  virtual void Discard() = 0;
};

class RenderEnvironment {
 public:
  virtual ~RenderEnvironment() = default;
  // Creates `path`, or truncates it to zero length, held exclusively.
  // Null when the file cannot be opened for any reason, including another
  // process holding it; such a file is left untouched.
  virtual std::unique_ptr<OutputFile> OpenExclusive(const std::wstring& path) = 0;
  // A buffer of `size` bytes, or null when memory runs out.
  virtual std::unique_ptr<uint8_t[]> Allocate(size_t size) = 0;
};

// The real file system and heap of the platform the program runs on. One
// implementation per platform, each in its own file.
class NativeRenderEnvironment final : public RenderEnvironment {
 public:
  std::unique_ptr<OutputFile> OpenExclusive(const std::wstring& path) override;
  std::unique_ptr<uint8_t[]> Allocate(size_t size) override;
};

}  // namespace marvolen
