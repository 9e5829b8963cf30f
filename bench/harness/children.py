"""When the children of a process start and end, from the kernel's process events connector:
fork and exit times in CLOCK_MONOTONIC nanoseconds, as the parent waits for them.

Listening needs CAP_NET_ADMIN (root); without it ChildWatch.start() returns None and the
harness falls back to timing bare runs of the simulator beside each sample.
"""

import os
import socket
import struct
import threading

NETLINK_CONNECTOR = 11
CN_IDX_PROC = 1
CN_VAL_PROC = 1
PROC_CN_MCAST_LISTEN = 1
PROC_EVENT_FORK = 0x00000001
PROC_EVENT_EXIT = 0x80000000
NLMSG_DONE = 3
# nlmsghdr (16 bytes) + cn_msg header (20 bytes), then the proc_event.
EVENT_OFFSET = 36


class ChildWatch:
    def __init__(self, sock):
        self.sock = sock
        self.lock = threading.Lock()
        self.parents = set()
        self.children = {}  # child pid -> [parent pid, fork ns, exit ns or None]
        self.lost = False
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    @classmethod
    def start(cls):
        try:
            sock = socket.socket(socket.AF_NETLINK, socket.SOCK_DGRAM, NETLINK_CONNECTOR)
            # Every process on the machine is reported; a compiler next door must not make us
            # drop the events we want.
            try:
                sock.setsockopt(socket.SOL_SOCKET, 33, 16 << 20)  # SO_RCVBUFFORCE
            except OSError:
                sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 16 << 20)
            sock.bind((os.getpid(), CN_IDX_PROC))
            operation = struct.pack("=I", PROC_CN_MCAST_LISTEN)
            message = struct.pack("=IIIIHH", CN_IDX_PROC, CN_VAL_PROC, 0, 0, len(operation),
                                  0) + operation
            sock.send(struct.pack("=IHHII", 16 + len(message), NLMSG_DONE, 0, 0, os.getpid())
                      + message)
        except OSError:
            return None
        return cls(sock)

    def watch(self, pid):
        with self.lock:
            self.parents.add(pid)

    def runs(self, parent, start_ns, end_ns):
        """(fork, exit) of the children of `parent` forked in [start_ns, end_ns)."""
        with self.lock:
            return sorted((fork, end) for owner, fork, end in self.children.values()
                          if owner == parent and start_ns <= fork < end_ns)

    def _read(self):
        while True:
            try:
                data = self.sock.recv(65536)
            except OSError as error:
                if error.errno == 105:  # ENOBUFS: events were dropped
                    self.lost = True
                    continue
                return
            if len(data) < EVENT_OFFSET + 32:
                continue
            what, _cpu, stamp = struct.unpack_from("=IIQ", data, EVENT_OFFSET)
            if what == PROC_EVENT_FORK:
                _ppid, parent, child, child_tgid = struct.unpack_from("=IIII", data,
                                                                      EVENT_OFFSET + 16)
                if child == child_tgid:
                    with self.lock:
                        if parent in self.parents:
                            self.children[child] = [parent, stamp, None]
            elif what == PROC_EVENT_EXIT:
                pid, tgid = struct.unpack_from("=II", data, EVENT_OFFSET + 16)
                if pid == tgid:
                    with self.lock:
                        if pid in self.children:
                            self.children[pid][2] = stamp
