// A recording stand-in for the runtime layer and the skin engine: each call
// is written down as one line, and the folder texts and file existence are
// set by the test.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace recording {

struct Platform {
  std::vector<std::string> calls;
  // Folder text per kind; a kind missing here gives an absent text.
  std::map<int, std::string> folders;
  bool file_exists = false;
  // The content pointers handed to WriteFileBytes, for identity checks.
  std::vector<const unsigned char*> written_data;
};

Platform& Current();
void Reset();

}  // namespace recording

// Bytes of the stand-in for the carried engine library.
extern const unsigned char kFakeLibraryBytes[5];
