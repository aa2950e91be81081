#pragma once
// What a file that takes another's place on a POSIX system keeps of it.

#include <sys/stat.h>

namespace krvx {

// Gives the fresh file open at fd (the process's own, open to nobody else)
// what the file old, described by info, has: its owner where the process may
// give it (only the superuser may), its group, its extended attributes (the
// access control list among them, and the user's own attributes) and last its
// mode. An attribute the system keeps for itself (security.*) is left out
// where it refuses it. Where the group or the access control list cannot be
// given, the new file gives its group class no rights at all, so that it is
// never open to more users than the old one was. False with errno set when
// the mode cannot be set.
bool takeAttributesOf(int fd, const char* old, const struct stat& info);

} // namespace krvx
