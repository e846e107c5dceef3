"""End-to-end tests of kestrova-cli against the search-engine simulator: the
requests the tool makes, what it prints, its results file byte for byte and
its exit status. Everything runs on 127.0.0.1."""

import json
import os
import re
import select
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse
from pathlib import Path

HERE = Path(__file__).resolve().parent
SIMULATOR = HERE.parent.parent / "tools" / "search_simulator.py"
CLI = os.environ.get("KESTROVA_CLI", "")

KEYWORD = "中文 关键词"
KEYWORD_QUERY = "%E4%B8%AD%E6%96%87%20%E5%85%B3%E9%94%AE%E8%AF%8D"
PAGE_USER_AGENT = "Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:60.0) Gecko/20100101 Firefox/60.0"
PROBE_USER_AGENT = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"
COOKIE_NAMES = ["BAIDUID", "BIDUPSID", "PSTM", "delPer", "BD_CK_SAM", "PSINO",
                "H_PS_PSSID", "BD_UPN", "H_PS_645EC", "BDORZ"]
FILE_NAME = re.compile(r"^\d{1,4}年\d{1,2}月\d{1,2}日(\d{1,2}时(\d{1,2}分(\d{1,2}秒)?)?)?\.txt$")


def final_status(count):
    return "运行结束，去除重复采集结果数【%d】，手动停止不写入文本" % count


def page_status(number):
    return "正在采集第：%d页" % number


class Simulator:
    """One simulator process with a request log; use as a context manager."""

    def __init__(self, *args):
        self.directory = tempfile.TemporaryDirectory()
        self.log_path = Path(self.directory.name) / "requests.jsonl"
        self.process = subprocess.Popen(
            [sys.executable, str(SIMULATOR), "--log", str(self.log_path), *args],
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        ready, _, _ = select.select([self.process.stdout], [], [], 60)
        line = self.process.stdout.readline() if ready else b""
        if not line:
            self.process.kill()
            raise AssertionError("the simulator did not start: %r" % self.process.communicate()[1])
        self.port = json.loads(line)["port"]
        self.host = "127.0.0.1:%d" % self.port

    def requests(self):
        if not self.log_path.exists():
            return []
        return [json.loads(line) for line in self.log_path.read_text("utf-8").splitlines() if line]

    def page_requests(self):
        return [r for r in self.requests() if r["path"] == "/s"]

    def probes(self):
        return [r for r in self.requests() if r["path"] == "/link"]

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.communicate(timeout=30)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.communicate()
        self.directory.cleanup()


class Run:
    """The outcome of one kestrova-cli process."""

    def __init__(self, process, out_dir, stdout, stderr):
        self.status = process.returncode
        self.out_dir = Path(out_dir)
        self.stdout_lines = stdout.decode("utf-8").split("\n")[:-1]
        self.stderr_lines = stderr.decode("utf-8").split("\n")[:-1]

    def results_files(self):
        return sorted(p for p in self.out_dir.iterdir() if p.suffix == ".txt")


def headers_of(request):
    return {name.lower(): value for name, value in request["headers"]}


def expected_host(token):
    """The line the harvest keeps for one token, per the simulator's scheme."""
    kind, page, index = token.split("-")
    return {
        "site": "site-%s-%s.example" % (page, index),
        "rep": "repeat.example",
        "port": "port-%s-%s.example:8443" % (page, index),
        "userinfo": "user:secret@userinfo-%s-%s.example" % (page, index),
        "noslash": "noslash-%s-%s.example?from=%s-%s" % (page, index, page, index),
        "embedded": "embedded-%s-%s.example" % (page, index),
        "empty": "",
    }.get(kind)


def distinct(lines):
    seen = []
    for line in lines:
        if line not in seen:
            seen.append(line)
    return seen


@unittest.skipUnless(CLI, "KESTROVA_CLI names the kestrova-cli to test")
class CliEndToEnd(unittest.TestCase):

    def setUp(self):
        self.out = tempfile.TemporaryDirectory()
        self.addCleanup(self.out.cleanup)

    def start(self, simulator, *extra, keyword=KEYWORD, out_dir=None):
        args = [CLI, "--host", simulator.host, "--out-dir", out_dir or self.out.name, *extra, keyword]
        return subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE)

    def run_cli(self, simulator, *extra, keyword=KEYWORD, out_dir=None):
        process = self.start(simulator, *extra, keyword=keyword, out_dir=out_dir)
        stdout, stderr = process.communicate(timeout=240)
        return Run(process, out_dir or self.out.name, stdout, stderr)

    def assert_one_results_file(self, run, hosts):
        files = run.results_files()
        self.assertEqual(len(files), 1, files)
        self.assertRegex(files[0].name, FILE_NAME)
        self.assertEqual(files[0].read_bytes(), "\r\n".join(hosts).encode("gbk"))

    def test_a_whole_walk_requests_pages_and_probes_and_writes_the_distinct_hosts(self):
        with Simulator("--pages", "3", "--links-per-page", "10") as simulator:
            run = self.run_cli(simulator)
            pages = simulator.page_requests()
            probes = simulator.probes()

        self.assertEqual(run.status, 0, run.stderr_lines)
        # Offsets 0, 10, 20; the keyword as strict percent-encoded UTF-8.
        self.assertEqual([r["query"] for r in pages],
                         ["wd=%s&pn=%d" % (KEYWORD_QUERY, offset) for offset in (0, 10, 20)])
        for request in pages:
            url = "https://%s%s" % (simulator.host, request["target"])
            names = [name for name, _ in request["headers"]]
            self.assertEqual([n for n in names if n in ("User-Agent", "Accept", "Referer",
                                                        "Accept-Language", "Cookie")],
                             ["User-Agent", "Accept", "Referer", "Accept-Language", "Cookie"])
            headers = headers_of(request)
            self.assertEqual(headers["user-agent"], PAGE_USER_AGENT)
            self.assertEqual(headers["accept"], "*/*")
            self.assertEqual(headers["referer"], url)
            self.assertEqual(headers["accept-language"], "zh-cn")
            cookie = headers["cookie"]
            self.assertEqual(len(cookie), 307)
            self.assertEqual([pair.split("=")[0] for pair in cookie.split("; ")], COOKIE_NAMES)
        # The same cookie string every time, whatever the pages set.
        self.assertEqual(len({headers_of(r)["cookie"] for r in pages}), 1)

        # Pages 1 and 2 are probed in page order; the last page is not.
        tokens = [urllib.parse.parse_qs(r["query"])["url"][0] for r in probes]
        self.assertEqual(tokens, ["%s-%d-%d" % ("rep" if i % 5 == 0 else "site", page, i)
                                  for page in (1, 2) for i in range(1, 11)])
        for request in probes:
            headers = headers_of(request)
            self.assertEqual(headers["accept"], "*/*")
            self.assertEqual(headers["referer"], "https://%s%s" % (simulator.host, request["target"]))
            self.assertEqual(headers["accept-language"], "zh-cn")
            self.assertEqual(headers["user-agent"], PROBE_USER_AGENT)
            self.assertNotIn("cookie", headers)

        appended = [expected_host(token) for token in tokens]
        self.assertEqual(run.stdout_lines, appended)
        hosts = distinct(appended)
        self.assert_one_results_file(run, hosts)
        self.assertEqual(run.stderr_lines[:3], [page_status(1), page_status(2), page_status(3)])
        self.assertIn("last result page", run.stderr_lines[3])
        self.assertEqual(run.stderr_lines[4:], [final_status(len(hosts))])

    def test_every_kind_of_redirect_target_gives_its_line_or_none(self):
        kinds = "site,none,relative,upper,rep,port,userinfo,body,embedded,noslash,empty,opaque,schemeonly,reset"
        with Simulator("--pages", "2", "--links-per-page", "14", "--kinds", kinds) as simulator:
            run = self.run_cli(simulator)
        self.assertEqual(run.status, 0, run.stderr_lines)
        tokens = ["%s-1-%d" % (kind, i) for i, kind in enumerate(kinds.split(","), start=1)]
        expected = [expected_host(t) for t in tokens if expected_host(t) is not None]
        self.assertEqual(run.stdout_lines, expected)
        self.assert_one_results_file(run, distinct(expected))

    def test_walks_that_end_early(self):
        cases = [
            # (simulator options, pages requested, pages probed, why the walk ended)
            (["--pages", "1"], 1, 0, "last result page"),
            (["--pages", "5", "--reset-at", "3"], 3, 2, "page request failed"),
            (["--pages", "5", "--verification-page-at", "2"], 2, 1, "no result page"),
        ]
        for options, requested, probed, why in cases:
            with self.subTest(options=options):
                out_dir = tempfile.mkdtemp(dir=self.out.name)
                with Simulator("--links-per-page", "3", *options) as simulator:
                    run = self.run_cli(simulator, out_dir=out_dir)
                    pages = simulator.page_requests()
                    probes = simulator.probes()
                self.assertEqual(run.status, 0, run.stderr_lines)
                self.assertEqual(len(pages), requested)
                self.assertEqual(len(probes), 3 * probed)
                hosts = distinct(run.stdout_lines)
                self.assertEqual(len(run.stdout_lines), 3 * probed)
                if probed:
                    self.assert_one_results_file(run, hosts)
                else:
                    self.assertEqual(run.results_files(), [])
                self.assertEqual(run.stderr_lines[:requested],
                                 [page_status(n) for n in range(1, requested + 1)])
                self.assertIn(why, run.stderr_lines[requested])
                self.assertEqual(run.stderr_lines[requested + 1:], [final_status(len(hosts))])

    def test_ctrl_c_finishes_the_page_deduplicates_and_writes_no_file(self):
        with Simulator("--pages", "50", "--links-per-page", "300") as simulator:
            process = self.start(simulator)
            first_line = process.stdout.readline()
            self.assertTrue(first_line, "no host was found before the interrupt")
            process.send_signal(signal.SIGINT)
            stdout, stderr = process.communicate(timeout=240)
            run = Run(process, self.out.name, first_line + stdout, stderr)
            pages = simulator.page_requests()
            probes = simulator.probes()

        self.assertEqual(run.status, 130, run.stderr_lines)
        self.assertLess(len(pages), 50)
        # The page under way was finished: all of its links were probed.
        self.assertEqual(len(probes), 300 * len(pages))
        self.assertEqual(len(run.stdout_lines), len(probes))
        self.assertEqual(run.results_files(), [])
        self.assertIn("stopped by the user", run.stderr_lines[-2])
        self.assertEqual(run.stderr_lines[-1], final_status(len(distinct(run.stdout_lines))))

    def test_a_second_ctrl_c_leaves_at_once(self):
        with Simulator("--stall-at", "1") as simulator:
            process = self.start(simulator)
            deadline = time.monotonic() + 60
            while not simulator.page_requests() and time.monotonic() < deadline:
                time.sleep(0.05)
            process.send_signal(signal.SIGINT)
            time.sleep(0.2)
            process.send_signal(signal.SIGINT)
            process.communicate(timeout=30)
        self.assertEqual(process.returncode, 130)
        self.assertEqual(list(Path(self.out.name).iterdir()), [])

    def test_a_results_file_that_cannot_be_written_is_reported(self):
        missing = os.path.join(self.out.name, "missing")
        with Simulator("--pages", "2", "--links-per-page", "2") as simulator:
            run = self.run_cli(simulator, out_dir=missing)
        self.assertEqual(run.status, 1)
        self.assertEqual(len(run.stdout_lines), 2)
        self.assertIn("cannot write the results file " + missing + "/", run.stderr_lines[-2])
        self.assertIn("No such file or directory", run.stderr_lines[-2])
        self.assertEqual(run.stderr_lines[-1], final_status(2))

    def test_usage_errors(self):
        cases = [
            ([""], "请先输入关键词!"),
            ([], "KEYWORD"),
            (["--bogus", "x"], "unknown option --bogus"),
            (["--host"], "--host needs a value"),
            (["a", "b"], "exactly one KEYWORD"),
        ]
        for args, message in cases:
            with self.subTest(args=args):
                result = subprocess.run([CLI, *args], capture_output=True, timeout=30)
                self.assertEqual(result.returncode, 2)
                self.assertIn(message, result.stderr.decode("utf-8"))
                self.assertEqual(result.stdout, b"")

    def test_help(self):
        result = subprocess.run([CLI, "--help"], capture_output=True, timeout=30)
        self.assertEqual(result.returncode, 0)
        for option in ("--host", "--out-dir", "130"):
            self.assertIn(option, result.stdout.decode("utf-8"))


if __name__ == "__main__":
    unittest.main()
