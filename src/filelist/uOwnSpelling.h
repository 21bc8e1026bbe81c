// Paths in the file system's own spelling of their folders. A path can reach one folder
// through many spellings: a link to a folder, a junction, a short name, "self/s" for "s".
// Whoever compares paths as text, or carries a path along when a folder moves, must first
// spell each the one way the file system does, or a folder moved under one spelling goes
// unseen under another.
#pragma once

#include <map>
#include <string>

#include "list/uPathNames.h"

class TOwnSpelling {
public:
  // APath with its folder part resolved through the system (links, junctions and short
  // names followed) and its last part kept as written, but for a short name made long: a
  // link is a name of its own, and moving it moves the link. A folder that does not exist is
  // spelled as its nearest existing folder, followed by the rest as written. Each folder is
  // resolved once, until a move may have changed what it leads to (Moved).
  std::u16string Of(const std::u16string& APath);

  // AFrom was moved to ATo: a folder spelled through either, or through a link that leads
  // through either, may now lead elsewhere.
  void Moved(const std::u16string& AFrom, const std::u16string& ATo);

  // A folder that exists could not be resolved (its spelling is then the one written): a
  // comparison may miss another spelling of it.
  bool Unsure() const { return fUnsure; }

private:
  // AFolder ends in its delimiter; so does the answer.
  const std::u16string& Folder(const std::u16string& AFolder);
  // The name of APath from AStart on, a short name made long.
  static std::u16string LastPart(const std::u16string& APath, size_t AStart);

  std::map<std::u16string, std::u16string, TPathLess> fFolders; // as written -> resolved
  bool fUnsure = false;
};
