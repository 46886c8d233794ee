#!/usr/bin/env python3
"""fachlese-web in a real browser (Debian's chromium, headless, through chromedriver): a pupil
signs in with the field named "Code", types the choice into the grid fields found by their
accessible names, sees the Prüfliste change and an unknown subject marked, tests the choice,
answers the foreign-language question, hands it in and finds the file on disk; the same on a
360 px phone screen and with JavaScript switched off (through "Prüfen"); no console errors.

    browser_test.py FACHLESE_WEB [SCREENSHOT_FOLDER]

Exit status 77 (skipped) where chromium, chromedriver or selenium are missing."""

import os
import re
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from webclient import FOREIGN_LK_CHOICE, Server, cell_name, check, finish, fld_bytes, read  # noqa: E402

try:
    from selenium import webdriver
    from selenium.common.exceptions import StaleElementReferenceException, TimeoutException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.expected_conditions import staleness_of
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    webdriver = None

CHROMIUM, CHROMEDRIVER = shutil.which("chromium"), shutil.which("chromedriver")
QUESTION = "Bist du dir sicher, dass die Fremdsprache"
VERDICT = "Du hast 36 Kurse gewählt. Davon können 32 in die Abiturnote eingehen."
CONFIRMATION = re.compile(r"am \d\d\.\d\d\.\d{4} um \d\d:\d\d Uhr abgegeben\.")


def browser(profile, javascript=True):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--disable-dev-shm-usage", "--window-size=1280,1000", "--lang=de-DE",
                     f"--user-data-dir={profile}"):
        options.add_argument(argument)
    if not javascript:
        options.add_experimental_option("prefs", {"profile.managed_default_content_settings.javascript": 2})
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)


def wait(driver, condition, seconds=10):
    try:
        # A page that is being replaced leaves stale elements behind for a moment.
        return WebDriverWait(driver, seconds, ignored_exceptions=(StaleElementReferenceException,)).until(
            lambda d: condition())
    except TimeoutException:
        return None


def by_name(driver, accessible_name, tag="input"):
    """The element of that accessible name, as the browser computes it for a screen reader."""
    return next((e for e in driver.find_elements(By.TAG_NAME, tag) if e.accessible_name == accessible_name),
                None)


def button(driver, label):
    return next((b for b in driver.find_elements(By.TAG_NAME, "button") if b.text.strip() == label), None)


def check_without_script(driver):
    """Presses "Prüfen", which sends the form, and waits for the new page."""
    page = driver.find_element(By.TAG_NAME, "html")
    button(driver, "Prüfen").click()
    wait(driver, lambda: staleness_of(page)(driver))


def section_text(driver, ident):
    found = driver.find_elements(By.ID, ident)
    return found[0].text if found else ""


def type_into(field, text):
    """Replaces the field's text by typing, as a person would, and leaves the field."""
    field.click()
    field.send_keys(Keys.CONTROL, "a")
    field.send_keys(Keys.DELETE)
    if text:
        field.send_keys(text)
    field.send_keys(Keys.TAB)


def sign_in(driver, server, pupil):
    driver.get(server.url)
    code_field = by_name(driver, "Code")
    if not check(code_field is not None and code_field.get_attribute("name") == "code",
                 "the sign-in field's accessible name is \"Code\""):
        return False
    # Typed as a pupil might: small letters, blanks instead of hyphens.
    code_field.send_keys(pupil[3].lower().replace("-", " "))
    button(driver, "Anmelden").click()
    wait(driver, lambda: driver.current_url.endswith("/wahl"))
    heading = " ".join(h.text for h in driver.find_elements(By.TAG_NAME, "h1"))
    top = " ".join(h.text for h in driver.find_elements(By.CSS_SELECTOR, "header"))
    return check(driver.current_url.endswith("/wahl") and f"{pupil[1]} {pupil[0]}" in heading and
                 f"Klasse {pupil[2]}" in top, f"signed in, the heading names {pupil[1]} {pupil[0]}, class {pupil[2]}")


def grid(driver):
    """The grid's fields by accessible name; checks that all 44 are there, with suggestions."""
    fields = {field.accessible_name: field for field in driver.find_elements(By.CSS_SELECTOR, "table input")}
    names = [cell_name(r, s) for r in range(1, 12) for s in range(1, 5)]
    check(all(n in fields for n in names), "every grid field has the desktop grid's cell name")
    options = [o.get_attribute("value") for o in driver.find_elements(By.CSS_SELECTOR, "datalist#faecher option")]
    lists = {fields[n].get_attribute("list") for n in names if n in fields}
    check(lists == {"faecher"} and "Deutsch" in options and "Sport-Theorie" in options,
          "every grid field suggests the subjects of one datalist")
    return fields


def fill(driver, fields, choice, live):
    """Types the choice cell by cell; with script, auto-fill may already have filled a cell."""
    for r, row in enumerate(choice, start=1):
        for s, text in enumerate(row, start=1):
            field = fields[cell_name(r, s)]
            if field.get_attribute("value") != text:
                type_into(field, text)
            if r == 1 and s == 1:
                check(driver.switch_to.active_element.accessible_name == cell_name(1, 2),
                      "the tab key goes on to \"LK 1, 2. Semester\"")
                if live:
                    check(wait(driver, lambda: fields[cell_name(1, 4)].get_attribute("value") == text),
                          "LK 1 typed in the first semester is filled into the other three")


def unknown_subject(driver, fields, live):
    field = fields[cell_name(10, 1)]
    type_into(field, "Biolgie")
    if not live:
        check_without_script(driver)
        field = by_name(driver, cell_name(10, 1))
    shown = wait(driver, lambda: "Meinst du »Biologie«?" in driver.page_source)
    check(shown and "Das Fach »Biolgie« ist nicht bekannt." in driver.find_element(By.TAG_NAME, "body").text,
          "an unknown subject gets \"Meinst du »Biologie«?\"")
    check(field.get_attribute("aria-invalid") == "true" and "unbekannt" in (field.get_attribute("class") or ""),
          "the unknown subject's field is marked invalid")
    hints = [driver.find_element(By.ID, i).text for i in (field.get_attribute("aria-describedby") or "").split()]
    check(any("Meinst du »Biologie«?" in h for h in hints), "the hint is the field's description for a screen reader")
    type_into(field, "")
    if not live:
        check_without_script(driver)
    check(wait(driver, lambda: "Meinst du" not in driver.page_source), "the mark goes with the unknown subject")


def test_and_hand_in(driver, server, pupil, choice):
    button(driver, "Wahl testen").click()
    check(wait(driver, lambda: QUESTION in section_text(driver, "ergebnis")),
          "\"Wahl testen\" asks the foreign-language question in the verdict section")
    radios = driver.find_elements(By.CSS_SELECTOR, "input[type=radio][name=fremdsprache-lk]")
    check(sorted(r.get_attribute("value") for r in radios) == ["ja", "nein"], "the question's radios ja/nein")
    yes = next((r for r in radios if r.get_attribute("value") == "ja"), None)
    if yes is None:
        return
    check(yes.accessible_name.strip() != "", "the radio has an accessible name")
    driver.execute_script("arguments[0].scrollIntoView({block: 'center'})", yes)
    yes.click()
    button(driver, "Wahl testen").click()
    check(wait(driver, lambda: VERDICT in section_text(driver, "ergebnis")),
          "the verdict counts 36 courses, as the desktop says it")
    check("ist die Wahl o.k.!" in section_text(driver, "ergebnis"), "the verdict says the choice is o.k.")
    button(driver, "Abgeben").click()
    confirmed = wait(driver, lambda: CONFIRMATION.search(section_text(driver, "ergebnis")))
    check(confirmed, "\"Abgeben\" is confirmed with date and time: … Uhr abgegeben.")
    expected = fld_bytes(choice, pupil[0], pupil[1], pupil[2])
    files = [n for n in os.listdir(server.data) if n.endswith(".fld")]
    mine = [n for n in files if read(os.path.join(server.data, n)) == expected]
    check(len(mine) == 1, f"the data folder holds {pupil[0]}'s choice with the exact bytes ({files})")


def console_errors(driver, what):
    errors = [e["message"] for e in driver.get_log("browser") if e["level"] == "SEVERE"]
    check(not errors, f"no console errors ({what}) {errors}")


def phone(driver, shots, dark):
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": 360, "height": 740, "deviceScaleFactor": 2, "mobile": True})
    driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": [
        {"name": "prefers-color-scheme", "value": "dark" if dark else "light"}]})
    driver.refresh()
    wait(driver, lambda: driver.find_elements(By.ID, "pruefliste"))
    overflow = driver.execute_script(
        "return [document.documentElement.scrollWidth, document.body.scrollWidth, window.innerWidth]")
    check(max(overflow[:2]) <= overflow[2], f"at 360 px the page does not scroll sideways {overflow}")
    for label in ("Prüfen", "Wahl testen", "Abgeben"):
        b = button(driver, label)
        reachable = b is not None and driver.execute_script("""
            const b = arguments[0]; b.scrollIntoView({block: 'center', inline: 'center'});
            const r = b.getBoundingClientRect();
            const hit = document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2);
            return r.left >= 0 && r.right <= window.innerWidth && r.width >= 24 && r.height >= 24 &&
                   (hit === b || b.contains(hit));""", b)
        check(reachable, f"at 360 px the button \"{label}\" is on the screen and can be pressed")
    if shots:
        driver.execute_script("window.scrollTo(0, 0)")
        driver.save_screenshot(os.path.join(shots, f"web-phone{'-dark' if dark else ''}.png"))


def main():
    if webdriver is None or not CHROMIUM or not CHROMEDRIVER:
        print("skipped: chromium, chromium-driver and python3-selenium are needed "
              "(scripts/install-deps.sh installs them)")
        return 77
    program = sys.argv[1]
    shots = sys.argv[2] if len(sys.argv) > 2 else None
    if shots:
        os.makedirs(shots, exist_ok=True)
    with Server(program, pupils=3) as server:
        for live in (True, False):
            pupil = server.pupils[0 if live else 1]
            driver = browser(os.path.join(server.folder, f"profil-{live}"), javascript=live)
            try:
                print(f"--- {'with' if live else 'without'} JavaScript")
                if not sign_in(driver, server, pupil):
                    continue
                fields = grid(driver)
                before = section_text(driver, "pruefliste")
                check(before.strip() != "", "the Prüfliste is on the page")
                fill(driver, fields, FOREIGN_LK_CHOICE, live)
                if not live:
                    check_without_script(driver)
                    fields = grid(driver)
                check(wait(driver, lambda: section_text(driver, "pruefliste") != before),
                      "the Prüfliste changes with the choice" + (" (live)" if live else " on \"Prüfen\""))
                check(all(fields[cell_name(r, s)].get_attribute("value") == FOREIGN_LK_CHOICE[r - 1][s - 1]
                          for r in range(1, 10) for s in range(1, 5)), "the grid holds the typed choice")
                unknown_subject(driver, fields, live)
                test_and_hand_in(driver, server, pupil, FOREIGN_LK_CHOICE)
                if shots:
                    driver.save_screenshot(os.path.join(shots, f"web-desktop-{'js' if live else 'nojs'}.png"))
                if live:
                    driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": [
                        {"name": "prefers-color-scheme", "value": "dark"}]})
                    if shots:
                        driver.save_screenshot(os.path.join(shots, "web-desktop-dark.png"))
                    phone(driver, shots, dark=False)
                    phone(driver, shots, dark=True)
                console_errors(driver, "with" if live else "without JavaScript")
            finally:
                driver.quit()
        check(server.stop() == 0, "fachlese-web stops cleanly on SIGTERM")
    return finish("browser")


if __name__ == "__main__":
    sys.exit(main())
