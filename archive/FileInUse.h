// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file that a copy of the tool is writing (a session journal, its
// timeline) is marked in use, for every other copy: on this machine and on
// the other benches of a shared data folder. Whatever deletes such files (the
// journals' retention) takes the mark itself first and leaves alone every
// file whose mark it cannot take. The system drops the mark with the writer's
// descriptor, also when the writer is killed or crashes; on a network share
// the server drops it once the writer's machine is found gone (NFS: its
// lease or its reboot).
//
// The mark is an advisory record lock (fcntl), which NFS (its lock manager)
// and SMB carry to the server, where a lock taken only on the client would
// not be seen by the other benches. Of the two kinds of record lock it is the
// one owned by the open file (F_OFD_SETLK), not by the process: a process
// loses every classic record lock it holds on a file as soon as it closes
// any descriptor of that file, so the tool's own reading of its open journal
// (the history window opening it in the graph window, the retention looking
// at it) would silently drop the mark. flock(2) would keep to the descriptor
// too, but on SMB it locks the whole file, and an SMB server enforces byte
// locks on reads: the other benches could no longer read the journal. The
// record lock covers one byte far past any data instead, which no read or
// write touches.

#include <string>
#include <vector>

namespace o5 {

// Marks the file open for writing as `fd` in use while `fd` stays open.
// 0, or the system's error number (EAGAIN when another copy has it marked;
// ENOLCK or EINVAL where the file system keeps no locks).
int MarkInUse(int fd);

// Whether a failure of MarkInUse says the file system keeps no locks at all
// (a share mounted without locking), rather than that a copy holds the mark.
bool LocksRefused(int error);

// Every mark then fails with `error` (0: marks work again), as on a file
// system that refuses locks; for tests, where no such file system is at hand.
// Returns the setting before.
int RefuseLocks(int error);

// Whether `path` still names the file open as `fd`: after a new file was
// marked, it is the writer's own unless something deleted or replaced it
// between its making and its marking.
bool StillNamed(int fd, const std::string& path);

// Deletes the files of `paths` together, only if no copy of the tool has any
// of them marked in use and each can be looked at (a file that is not there
// is passed over). True when they are gone.
bool DeleteUnlessInUse(const std::vector<std::string>& paths);

}  // namespace o5
