"""The light simulator's files: its lights, its run log and its faults file."""

import json
import os
import subprocess
from collections import namedtuple

# One run as the simulator logs it: start and end in CLOCK_MONOTONIC nanoseconds (the clock of
# time.monotonic_ns()), the arguments joined by spaces.
Run = namedtuple("Run", "pid start end arguments")


class Lights:
    """The files of one simulator setup, in `folder`; `litra` is the simulator itself."""

    def __init__(self, folder, litra):
        self.folder = folder
        self.litra = litra
        self.state_path = os.path.join(folder, "lights.json")
        self.log_path = os.path.join(folder, "litra-runs.log")
        self.faults_path = os.path.join(folder, "litra-faults")
        self.owner = None  # the user id the simulator runs as, when not ours

    def _replace(self, temporary, path):
        if self.owner is not None:
            os.chown(temporary, self.owner, self.owner)
        os.replace(temporary, path)

    def environment(self):
        return {
            "LITRA_SIM_STATE": self.state_path,
            "LITRA_SIM_LOG": self.log_path,
            "LITRA_SIM_FAULTS_FILE": self.faults_path,
        }

    def default_lights(self):
        """The simulator's own two lights, as it creates them in a fresh state file."""
        scratch = os.path.join(self.folder, "default-lights.json")
        env = dict(os.environ, LITRA_SIM_STATE=scratch)
        for key in ("LITRA_SIM_LOG", "LITRA_SIM_FAULTS_FILE"):
            env.pop(key, None)
        report = subprocess.run(
            [self.litra, "devices", "--json"], env=env, capture_output=True, check=True, timeout=30
        )
        return json.loads(report.stdout)

    def write(self, is_on):
        """Lights as the simulator makes them, switched as `is_on` says (one bool per light;
        an empty list unplugs them all)."""
        lights = self.default_lights()
        while len(lights) < len(is_on):
            lights.append(dict(lights[-1], serial_number="SIM-%04d" % (len(lights) + 1)))
        lights = lights[: len(is_on)]
        for light, on in zip(lights, is_on):
            light["is_on"] = on
        self.write_document({"lights": lights})

    def write_document(self, document):
        temporary = self.state_path + ".new"
        with open(temporary, "w") as state:
            json.dump(document, state, indent=2)
        self._replace(temporary, self.state_path)

    def is_on(self):
        with open(self.state_path) as state:
            return [light.get("is_on") for light in json.load(state)["lights"]]

    def values(self, *keys):
        """{key: [the value of each light]} for these keys of the state file."""
        with open(self.state_path) as state:
            lights = json.load(state)["lights"]
        return {key: [light.get(key) for light in lights] for key in keys}

    def set_faults(self, **faults):
        """LITRA_SIM_<KEY>=value lines, read by every following run; none clears them."""
        temporary = self.faults_path + ".new"
        with open(temporary, "w") as file:
            for key, value in faults.items():
                file.write("LITRA_SIM_%s=%s\n" % (key.upper(), value))
        self._replace(temporary, self.faults_path)

    def runs(self):
        """Finished runs, in the order they ended."""
        return self.runs_in(self.log_path)

    @staticmethod
    def runs_in(log_path):
        """Finished runs logged in `log_path`, in the order they ended."""
        try:
            with open(log_path) as log:
                lines = log.read().split("\n")[:-1]  # a line still being written has no end
        except FileNotFoundError:
            return []
        runs = []
        for line in lines:
            pid, start, end, *arguments = line.split(" ")
            runs.append(Run(int(pid), int(start), int(end), " ".join(arguments)))
        return runs

    def count(self, arguments):
        return sum(1 for run in self.runs() if run.arguments == arguments)
