#pragma once

#include <string>

namespace velmora::test {

// A fresh folder under the system temp dir, removed with everything in it
// when the object goes out of scope.
class TempDir final
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, ending in '/'.
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + name; }

    std::string read(const std::string& name) const;
    void write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

} // namespace velmora::test
