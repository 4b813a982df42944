"""A stand-in speech-dispatcher that speaks the SSIP protocol itself, for
what a real daemon with null sound cannot show: a voice that takes a known
time over every text (paced), one that takes texts and never reports
their end, whose cancel blocks for seconds (stuck), and one that takes
connections and never says a word (mute). It notes when each text, each
cancel and every other command arrived, and how many connections came.

    with FakeSpeechd(seconds_per_text=2.0) as d:   # or stuck=True, mute=True
    (seconds_per_text may also be a function of the text)
        env = d.env()
        ... d.texts(), d.cancels(), d.commands(), d.connections() ...
"""
import os
import shutil
import socket
import tempfile
import threading
import time


class FakeSpeechd:
    def __init__(self, seconds_per_text=1.0, stuck=False, cancel_blocks=5.0, mute=False):
        self.dir = tempfile.mkdtemp(prefix="sonaris-fakespd-")
        self.socket = os.path.join(self.dir, "speechd.sock")
        self.seconds = seconds_per_text
        self.stuck = stuck
        self.cancel_blocks = cancel_blocks
        self.mute = mute
        self.lock = threading.Lock()
        self.events = []          # (monotonic time, "text" | "cancel" | "end", text)
        self.server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.server.bind(self.socket)
        self.server.listen(8)
        self.clients = []
        self.next_id = 1
        threading.Thread(target=self._accept, daemon=True).start()

    def env(self):
        return {"SPEECHD_ADDRESS": "unix_socket:" + self.socket}

    def texts(self):
        with self.lock:
            return [(t, x) for t, what, x in self.events if what == "text"]

    def cancels(self):
        with self.lock:
            return [t for t, what, _ in self.events if what == "cancel"]

    def commands(self):
        """(time, command line) of every command but SPEAK and CANCEL."""
        with self.lock:
            return [(t, x) for t, what, x in self.events if what == "command"]

    def connections(self):
        with self.lock:
            return len(self.clients)

    def ends(self):
        with self.lock:
            return [t for t, what, _ in self.events if what == "end"]

    def _note(self, what, text=""):
        with self.lock:
            self.events.append((time.monotonic(), what, text))

    def _accept(self):
        while True:
            try:
                client, _ = self.server.accept()
            except OSError:
                return
            with self.lock:
                self.clients.append(client)
            if not self.mute:
                threading.Thread(target=self._serve, args=(client,), daemon=True).start()

    def _serve(self, client):
        send_lock = threading.Lock()
        speaking = {"id": None, "generation": 0}

        def send(text):
            with send_lock:
                try:
                    client.sendall(text.encode("utf-8"))
                except OSError:
                    pass

        def event(code, msg_id, name):
            send(f"{code}-{msg_id}\r\n{code}-1\r\n{code} {name}\r\n")

        def speak(msg_id, generation, text):
            event(701, msg_id, "BEGIN")
            if self.stuck:
                return
            time.sleep(self.seconds(text) if callable(self.seconds) else self.seconds)
            if speaking["generation"] == generation:
                self._note("end")
                event(702, msg_id, "END")

        buffer = b""
        receiving = None
        while True:
            try:
                data = client.recv(4096)
            except OSError:
                return
            if not data:
                return
            buffer += data
            while b"\r\n" in buffer:
                raw, buffer = buffer.split(b"\r\n", 1)
                line = raw.decode("utf-8", "replace")
                if receiving is not None:
                    if line == ".":
                        text = "\n".join(receiving)
                        receiving = None
                        msg_id = self.next_id
                        self.next_id += 1
                        self._note("text", text)
                        send(f"225-{msg_id}\r\n225 OK MESSAGE QUEUED\r\n")
                        speaking["id"] = msg_id
                        threading.Thread(target=speak, args=(msg_id, speaking["generation"], text),
                                         daemon=True).start()
                    else:
                        receiving.append(line[1:] if line.startswith("..") else line)
                    continue
                words = line.split()
                command = " ".join(words[:2]).upper()
                if command != "SPEAK" and not (words and words[0].upper() == "CANCEL"):
                    self._note("command", line)
                if command == "SPEAK":
                    receiving = []
                    send("230 OK RECEIVING DATA\r\n")
                elif words and words[0].upper() == "CANCEL":
                    self._note("cancel")
                    speaking["generation"] += 1
                    if self.stuck:
                        time.sleep(self.cancel_blocks)
                    elif speaking["id"] is not None:
                        event(703, speaking["id"], "CANCELED")
                    send("210 OK CANCELED\r\n")
                elif command == "HISTORY GET":
                    send("249-1\r\n249 OK CLIENT ID SENT\r\n")
                elif command == "LIST OUTPUT_MODULES":
                    send("250-fake\r\n250 OK MODULE LIST SENT\r\n")
                elif command == "LIST SYNTHESIS_VOICES":
                    send("249-Falso Brasil\tpt-BR\tnone\r\n249-Fake\ten\tnone\r\n"
                         "249 OK VOICE LIST SENT\r\n")
                elif words and words[0].upper() == "QUIT":
                    send("231 HAPPY HACKING\r\n")
                    return
                else:
                    send("200 OK\r\n")

    def close(self):
        self.server.close()
        for c in self.clients:
            try:
                c.close()
            except OSError:
                pass
        shutil.rmtree(self.dir, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
