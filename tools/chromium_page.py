"""Opens a page in headless Chromium (Debian's `chromium`) and reports how it
behaves for a reader, as JSON on standard output:

  {"interactive_ms": ..., "requests": [...], "overflow": false,
   "toc": [...], "links": N, "unresolved_links": [...], "console_errors": [...]}

interactive_ms: from the start of navigation until the page has loaded, a
frame has been painted after that and the main thread runs the next task,
i.e. when a click on the page is handled.
requests: what the page fetched besides itself and data: URLs (a page that
works offline fetches nothing).
overflow: the page is wider than the window (something does not wrap).
toc, links, unresolved_links: the table of contents ("nav") is opened whole
(every collapsed entry opened, every "more" button pressed); toc lists its
link texts, and each link is then followed the way a reader clicks it. A link
is unresolved unless afterwards the element it names exists, is visible and
is scrolled into view.
console_errors: console.error calls, uncaught exceptions and error log entries.

    chromium_page.py [--no-links] PAGE.html

Talks to the browser over the DevTools protocol on a pipe
(--remote-debugging-pipe: JSON messages ended by a NUL byte on file
descriptors 3 and 4), so it needs nothing beyond Python's standard library.
"""
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

TIMEOUT_SECONDS = 600

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--remote-debugging-pipe",
         # Following hundreds of links in a row would hit the limit of 200
         # same-page navigations per 10 seconds that protects the browser.
         "--disable-ipc-flooding-protection"]

# Follows each table-of-contents link as a click does and checks that its
# target is shown. Returns the hrefs that do not lead to a visible element.
FOLLOW_LINKS = """
(async () => {
  const tick = () => new Promise(r => setTimeout(r, 0));
  for (let round = 0; round < 10000; round++) {
    const closed = Array.from(document.querySelectorAll('nav details:not([open])'));
    const more = Array.from(document.querySelectorAll('nav button'));
    if (!closed.length && !more.length) break;
    closed.forEach(d => d.open = true);
    more.forEach(b => b.click());
    await tick();
  }
  const unresolved = [];
  const links = Array.from(document.querySelectorAll('nav a'));
  const toc = links.map(a => a.textContent);
  for (const a of links) {
    const href = a.getAttribute('href') || '';
    a.click();
    await tick();
    const id = decodeURIComponent(href.slice(1));
    const target = href.startsWith('#') ? document.getElementById(id) : null;
    const box = target && target.getBoundingClientRect();
    const shown = box && (box.width > 0 || box.height > 0) && target.checkVisibility() &&
                  box.top < innerHeight && box.bottom > 0;
    if (!shown) unresolved.push(href);
  }
  return JSON.stringify({toc, links: links.length, unresolved});
})()
"""

OVERFLOW = "document.documentElement.scrollWidth > document.documentElement.clientWidth"

INTERACTIVE = """
new Promise(done => requestAnimationFrame(() => setTimeout(() => done(performance.now()))))
"""


class Browser:
    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="chromium-page-")
        to_browser_read, self.to_browser = os.pipe()
        self.from_browser, from_browser_write = os.pipe()
        # The browser reads commands on descriptor 3 and writes on 4; os.pipe's
        # own descriptors are closed on exec, the copies made here are not.
        def descriptors():
            os.dup2(to_browser_read, 3)
            os.dup2(from_browser_write, 4)
            for fd in (3, 4):  # dup2 onto itself keeps close-on-exec
                os.set_inheritable(fd, True)
        self.process = subprocess.Popen(
            ["chromium", *FLAGS, "--user-data-dir=" + self.profile, "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=descriptors, close_fds=False)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self.buffer = b""
        self.next_id = 0
        self.events = []

    def close(self):
        try:
            self.send("Browser.close")
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)

    def read_message(self):
        while b"\0" not in self.buffer:
            chunk = os.read(self.from_browser, 1 << 16)
            if not chunk:
                raise RuntimeError("chromium closed the DevTools pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, params=None, session=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        while True:
            reply = self.read_message()
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(method + ": " + reply["error"]["message"])
                return reply.get("result", {})
            self.events.append(reply)

    def wait_for(self, method):
        deadline = time.monotonic() + TIMEOUT_SECONDS
        while time.monotonic() < deadline:
            for i, event in enumerate(self.events):
                if event.get("method") == method:
                    return self.events.pop(i)
            self.events.append(self.read_message())
        raise RuntimeError("timed out waiting for " + method)

    def evaluate(self, session, expression):
        result = self.send("Runtime.evaluate", {"expression": expression, "awaitPromise": True,
                                                "returnByValue": True}, session)
        if "exceptionDetails" in result:
            raise RuntimeError("page script failed: " + json.dumps(result["exceptionDetails"]))
        return result["result"]["value"]


def console_errors(events):
    errors = []
    for event in events:
        method, params = event.get("method"), event.get("params", {})
        if method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "assert"):
            errors.append(" ".join(str(a.get("value", a.get("description", ""))) for a in params["args"]))
        elif method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            errors.append(details.get("exception", {}).get("description", details.get("text", "")))
        elif method == "Log.entryAdded" and params["entry"]["level"] == "error":
            errors.append(params["entry"]["text"])
    return errors


def main():
    args = sys.argv[1:]
    follow = "--no-links" not in args
    page = [a for a in args if a != "--no-links"][0]
    browser = Browser()
    try:
        target = browser.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = browser.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Page", "Runtime", "Log", "Network"):
            browser.send(domain + ".enable", session=session)
        url = pathlib.Path(page).resolve().as_uri()
        browser.send("Page.navigate", {"url": url}, session)
        browser.wait_for("Page.loadEventFired")
        interactive = browser.evaluate(session, INTERACTIVE)
        report = {"interactive_ms": round(interactive),
                  "requests": [e["params"]["request"]["url"] for e in browser.events
                               if e.get("method") == "Network.requestWillBeSent"
                               and e["params"]["request"]["url"] not in (url, "about:blank")
                               and not e["params"]["request"]["url"].startswith("data:")],
                  "overflow": browser.evaluate(session, OVERFLOW)}
        if follow:
            report.update(json.loads(browser.evaluate(session, FOLLOW_LINKS)))
            report["unresolved_links"] = report.pop("unresolved")
        report["console_errors"] = console_errors(browser.events)
        print(json.dumps(report, ensure_ascii=False))
    finally:
        browser.close()


if __name__ == "__main__":
    main()
