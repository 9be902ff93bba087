"""A learner who cannot see the screen: drives the real program only through
the accessibility bus, as a screen reader does, and checks on every page kind
reached that each control a click acts on has a name, a role and an action,
and that no visible picture goes undescribed.

Usage: screen_reader.py <program folder copy>   (the program already runs)
Exit status 77 when the bus cannot be reached and CI is not set."""

import os
import sys
import time
import warnings

warnings.simplefilter("ignore", DeprecationWarning)

try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi, GLib
except (ImportError, ValueError) as error:
    print(f"no AT-SPI client library: {error}")
    sys.exit(1 if os.environ.get("CI") == "true" else 77)

ACTING_ROLES = {
    Atspi.Role.PUSH_BUTTON,
    Atspi.Role.LINK,
    Atspi.Role.LIST_ITEM,
    Atspi.Role.CHECK_BOX,
    Atspi.Role.TEXT,
    Atspi.Role.ENTRY,
    Atspi.Role.PAGE_TAB,
    Atspi.Role.TOGGLE_BUTTON,
}
# Actions a screen reader cannot use to click: every focusable widget has one.
NOT_A_CLICK = {"SetFocus", "Increase", "Decrease", "ShowMenu"}

failures = []
events = []


def fail(message):
    print(f"FAIL: {message}")
    failures.append(message)


def pump():
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def wait_for(what, predicate, limit=20.0):
    end = time.monotonic() + limit
    while time.monotonic() < end:
        pump()
        try:
            found = predicate()
        except GLib.Error:
            found = None  # a widget of the page that was just cleared
        if found:
            return found
        time.sleep(0.02)
    fail(f"timed out: {what}")
    report_and_exit()


def report_and_exit():
    print(f"{len(failures)} failure(s)")
    sys.exit(1 if failures else 0)


def has(node, state):
    return node.get_state_set().contains(state)


def showing(node):
    return has(node, Atspi.StateType.SHOWING)


def actions(node):
    if "Action" not in node.get_interfaces():
        return []
    return [node.get_action_name(i) for i in range(node.get_n_actions())]


def children(node):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield child


def nodes(root):
    for child in children(root):
        yield child
        yield from nodes(child)


def find_app():
    desktop = Atspi.get_desktop(0)
    for app in children(desktop):
        if app.get_name() == "notoklyuv":
            return app
    return None


def window():
    return find_app_or_fail().get_child_at_index(0)


APP = None


def find_app_or_fail():
    return APP


def visible_controls():
    return [n for n in nodes(window()) if showing(n)]


def control(role, name=None, prefix=None, enabled=True):
    """The first showing control of a role, by exact name or name prefix."""
    for node in visible_controls():
        if node.get_role() != role:
            continue
        label = node.get_name()
        if name is not None and label != name:
            continue
        if prefix is not None and not label.startswith(prefix):
            continue
        if enabled and not has(node, Atspi.StateType.ENABLED):
            continue
        return node
    return None


def walk(page):
    """Every control a click acts on is named, and every picture described.
    Tried again while the tree still changes under the walk."""
    for _ in range(20):
        before = len(failures)
        try:
            return walk_once(page)
        except GLib.Error:
            del failures[before:]
            time.sleep(0.05)  # the page is still being replaced
    fail(f"{page}: the page never settled for a walk")


def walk_once(page):
    seen = 0
    for node in visible_controls():
        role = node.get_role()
        clicks = [a for a in actions(node) if a not in NOT_A_CLICK]
        if clicks:
            seen += 1
            if not node.get_name().strip():
                fail(f"{page}: a {node.get_role_name()} with {clicks} has no name")
            if role not in ACTING_ROLES:
                fail(f"{page}: {node.get_name()!r} acts on a click as a {node.get_role_name()}")
        if has(node, Atspi.StateType.EDITABLE) and not node.get_name().strip():
            fail(f"{page}: a text box without a name")
        if role == Atspi.Role.TEXT and not node.get_name().strip():
            fail(f"{page}: a text without a name")
        if role in (Atspi.Role.IMAGE, Atspi.Role.ICON) and not (
            node.get_name().strip() or node.get_description().strip()
        ):
            fail(f"{page}: a visible picture without a description")
    if seen == 0:
        fail(f"{page}: no control to act on was found")
    print(f"{page}: {seen} controls checked")


def press(node):
    names = actions(node)
    if "Press" not in names:
        fail(f"{node.get_name()!r} has no Press action, only {names}")
        report_and_exit()
    node.do_action(names.index("Press"))


def focused():
    for node in visible_controls():
        if has(node, Atspi.StateType.FOCUSED):
            return node
    return None


def on_event(event):
    events.append((time.monotonic(), event.type, event.source.get_name() if event.source else ""))


def main():
    global APP
    APP = wait_for("the program on the accessibility bus", find_app, 30)
    listener = Atspi.EventListener.new(on_event)
    for kind in ("object:state-changed:focused", "object:text-changed", "focus:"):
        listener.register(kind)

    # The instruction of the first start, then part I.
    start = wait_for("«Начать работу!»", lambda: control(Atspi.Role.LINK, "Начать работу!"))
    walk("instruction page")
    for name in ("Выход", "Часть I", "Инструкция", "О программе", "Полная версия"):
        if control(Atspi.Role.PUSH_BUTTON, name) is None and control(Atspi.Role.LINK, name) is None:
            fail(f"the menu column has no control named {name!r}")
    press(control(Atspi.Role.LINK, "О программе"))
    wait_for("the about page", lambda: control(Atspi.Role.LINK, "Что делать при ошибке"))
    walk("about page")
    text_page_links("about page")
    pitch_test()
    press(control(Atspi.Role.PUSH_BUTTON, "Часть I"))
    wait_for("the levels of part I", lambda: len(entries()) >= 3)
    press(entries()[0])
    stats = wait_for("level 1's page", lambda: control(Atspi.Role.LINK, "Моя статистика"))
    press(stats)
    wait_for("the statistics page", lambda: control(Atspi.Role.LINK, "Вернуться"))
    walk("statistics page")
    questionnaire()
    melody()
    report_form()
    drill()
    statistics(4)
    press(control(Atspi.Role.PUSH_BUTTON, "Часть I"))
    level = wait_for("the levels of part I", lambda: len(entries()) >= 3 and entries())
    walk("part page")
    first_on_page("part page", entries()[0])
    press(level[2])
    wait_for("level 3's steps", lambda: control(Atspi.Role.LINK, "Моя статистика") and entries())
    walk("level page")
    first_on_page("level page", entries()[0])
    closed = [e for e in all_entries() if not has(e, Atspi.StateType.ENABLED)]
    if not closed:
        fail("level 3 shows no closed step")
    settings_page()
    press(entries()[0])
    go_on = wait_for("the training introduction", lambda: control(Atspi.Role.LINK, "Продолжить работу"))
    walk("training introduction")
    press(go_on)

    listen = wait_for("the listen button", lambda: control(Atspi.Role.PUSH_BUTTON, prefix="Послушать"))
    walk("training question")
    first_on_page("training question", listen)
    answer = control(Atspi.Role.PUSH_BUTTON, "Ответить!", enabled=False)
    if answer is None or has(answer, Atspi.StateType.ENABLED):
        fail("«Ответить!» is not there disabled before the note was heard")
    pump()
    events.clear()
    press(listen)
    wait_for("«Ответить!» enabled after the note",
             lambda: control(Atspi.Role.PUSH_BUTTON, "Ответить!"))
    pump()
    noisy = [e for e in events if e[1].startswith(("focus", "object:state-changed:focused", "object:text-changed"))]
    if noisy:
        fail(f"announced during the playback: {noisy}")
    press(control(Atspi.Role.PUSH_BUTTON, "Ответить!"))
    key = wait_for("the key «ЛЯ первой октавы» pressable",
                   lambda: control(Atspi.Role.PUSH_BUTTON, "ЛЯ первой октавы"))
    if control(Atspi.Role.PUSH_BUTTON, "ЛЯ малой октавы", enabled=True) is None:
        fail("the small octave's ЛЯ is not pressable during a training answer")
    press(key)
    result = wait_for("a result page", result_page)
    walk("training result")
    print(f"answered: {result}")
    print(f"RESULT {result}")
    if result == "right":
        wait_for("the focus on «Дальше»", lambda: on_named(focused(), "Дальше"))
    else:
        first = control(Atspi.Role.PUSH_BUTTON, prefix="Послушать")
        wait_for("the focus on the wrong-answer page's first button",
                 lambda: focused() is not None and first is not None
                 and focused().get_name() == first.get_name())
    # The listener that heard nothing during the playback hears the new page.
    wait_for("a focus event for the result page", lambda: any("focused" in e[1] for e in events))
    press(control(Atspi.Role.PUSH_BUTTON, "Выход"))
    report_and_exit()


def questionnaire():
    """Level 1's first step: the introduction, then the first question
    answered by writing into its box and pressing «ДА!»."""
    press(control(Atspi.Role.PUSH_BUTTON, "Часть I"))
    wait_for("the levels of part I", lambda: len(entries()) >= 3)
    press(entries()[0])
    wait_for("level 1's page", lambda: control(Atspi.Role.LINK, "Моя статистика"))
    press(entries()[0])
    press(wait_for("the questionnaire's introduction", lambda: control(Atspi.Role.PUSH_BUTTON, "ДА!")))
    box = wait_for("the first question's answer box", answer_box)
    walk("questionnaire question")
    if control(Atspi.Role.LINK, "Продолжить") is not None:
        fail("«Продолжить» is enabled before the question was answered")
    if not box.get_name().startswith("По громкости"):
        fail(f"the answer box is named {box.get_name()!r}, not by its prompt")
    box.set_text_contents(ANSWER)
    press(control(Atspi.Role.PUSH_BUTTON, "ДА!"))
    press(wait_for("«Продолжить» after the answer", lambda: control(Atspi.Role.LINK, "Продолжить")))
    wait_for("the second question", lambda: control(Atspi.Role.LABEL, "Вопрос 2:"))
    print(f"ANSWERED {ANSWER}")
    for _ in range(30):
        if control(Atspi.Role.PUSH_BUTTON, "Сохранить"):
            break
        wait_for("a question's answer box", answer_box).set_text_contents(ANSWER)
        press(wait_for("«ДА!»", lambda: control(Atspi.Role.PUSH_BUTTON, "ДА!")))
        press(wait_for("«Продолжить»", lambda: control(Atspi.Role.LINK, "Продолжить")))
        wait_for("the next page", lambda: control(Atspi.Role.PUSH_BUTTON, "Сохранить") or answer_box())
    traits()


def traits():
    """The three characteristics, ticked through the check list's own actions,
    then saved: the level page comes back or the next note's questions."""
    save = wait_for("the characteristics page", lambda: control(Atspi.Role.PUSH_BUTTON, "Сохранить"))
    walk("characteristics page")
    items = [n for n in visible_controls() if n.get_role() == Atspi.Role.CHECK_BOX
             and n.get_name() != KEY_LETTERS and "Toggle" in actions(n)]
    if len(items) < 3:
        fail(f"the check list offers {len(items)} items to tick")
        report_and_exit()
    ticked = [item.get_name() for item in items[:3]]
    for item in items[:3]:
        item.do_action(actions(item).index("Toggle"))
    wait_for("three ticked", lambda: sum(has(i, Atspi.StateType.CHECKED) for i in items) == 3)
    press(save)
    wait_for("the characteristics saved", lambda: not control(Atspi.Role.PUSH_BUTTON, "Сохранить"))
    print("TRAITS " + " | ".join(ticked))


KEY_LETTERS = "Буквы клавиш на клавиатуре (стрелки ← → сдвигают октаву)"


def open_step(name):
    press(control(Atspi.Role.PUSH_BUTTON, "Часть I"))
    wait_for("the levels of part I", lambda: len(entries()) >= 3)
    press(entries()[0])
    step = wait_for(f"level 1's step {name!r}", lambda: control(Atspi.Role.LIST_ITEM, name))
    press(step)


def quiet_playback(listen, then):
    """Presses a listen button and waits for what the playback's end enables;
    nothing is to be announced in between."""
    pump()
    events.clear()
    press(listen)
    enabled = wait_for(f"{then!r} enabled after the playback",
                       lambda: control(Atspi.Role.PUSH_BUTTON, then))
    pump()
    noisy = [e for e in events if "focus" in e[1] or "text-changed" in e[1]]
    if noisy:
        fail(f"announced during the playback: {noisy}")
    return enabled


def melody():
    """Level 1's melody step: listen, answer on the keys until judged."""
    open_step("Шаг 4. Мелодии")
    press(wait_for("the melody introduction", lambda: control(Atspi.Role.LINK, "Продолжить работу")))
    listen = wait_for("the melody page", lambda: control(Atspi.Role.PUSH_BUTTON, "Послушать мелодию"))
    walk("melody page")
    first_on_page("melody page", listen)
    press(quiet_playback(listen, "Ответить!"))
    key = wait_for("a pressable key", lambda: next(
        (n for n in visible_controls() if n.get_name().endswith(" октавы")
         and has(n, Atspi.StateType.ENABLED)), None))
    walk("melody answer")
    for _ in range(40):
        try:
            if melody_result() or not has(key, Atspi.StateType.ENABLED):
                break
            press(key)
        except GLib.Error:
            break  # judged, and the keys went with the panel
        # The press acts from the program's event loop; wait until it did.
        wait_for("the key's note", lambda: True)
    result = wait_for("a melody result page", melody_result)
    walk(f"melody result ({result})")


def melody_result():
    if control(Atspi.Role.LINK, "Дальше"):
        return "right"
    if control(Atspi.Role.PUSH_BUTTON, "Я подобрал!", enabled=False):
        return "wrong"
    return None


def report_form():
    """Level 1's report: every field named by its question; the form is filled
    but not sent, as sending would go to the maker's site."""
    open_step("Шаг 5. Отчёт об уровне")
    wait_for("the report form", lambda: control(Atspi.Role.PUSH_BUTTON, "Отправить"))
    walk("report form")
    fields = [n for n in visible_controls() if has(n, Atspi.StateType.EDITABLE)]
    if not fields:
        fail("the report form has no fields")
    first_on_page("report form", fields[0])
    for field in fields:
        field.set_text_contents("да")


def text_page_links(page):
    """The text of a text page is named, and each web link in it is a link of
    its own that a press acts on."""
    texts = [n for n in visible_controls() if n.get_role() == Atspi.Role.TEXT
             and not has(n, Atspi.StateType.EDITABLE)]
    if not texts:
        fail(f"{page}: no text to read")
        return
    links = [c for t in texts for c in children(t) if c.get_role() == Atspi.Role.LINK]
    if not links:
        fail(f"{page}: the links of its text are not links")
    for link in links:
        if not link.get_name().strip() or "Press" not in actions(link):
            fail(f"{page}: a link of its text without a name or a press: {link.get_name()!r}")
    print(f"{page}: {len(links)} links in its text")


def pitch_test():
    """The pitch test from the about page: its introduction, then a trial's
    circle of names, each a named button; left by the menu, unscored."""
    press(control(Atspi.Role.LINK, "Проверка слуха"))
    start = wait_for("the pitch test", lambda: control(Atspi.Role.PUSH_BUTTON, "Начать проверку"))
    walk("pitch test introduction")
    press(start)
    wait_for("the circle of names", lambda: control(Atspi.Role.PUSH_BUTTON, "СОЛЬ#"))
    names = [n.get_name() for n in visible_controls() if n.get_role() == Atspi.Role.PUSH_BUTTON
             and n.get_name() in PITCH_NAMES]
    if sorted(names) != sorted(PITCH_NAMES):
        fail(f"the circle offers {names}")
    walk("pitch test trial")
    first_on_page("pitch test trial", control(Atspi.Role.PUSH_BUTTON, "ДО"))
    press(control(Atspi.Role.LINK, "О программе"))
    wait_for("the about page again", lambda: control(Atspi.Role.LINK, "Что делать при ошибке"))


PITCH_NAMES = ["ДО", "ДО#", "РЕ", "РЕ#", "МИ", "ФА", "ФА#", "СОЛЬ", "СОЛЬ#", "ЛЯ", "ЛЯ#", "СИ"]


def drill():
    """Level 4's chords drill: listen, then answer with the first of the two."""
    press(control(Atspi.Role.PUSH_BUTTON, "Часть I"))
    wait_for("the levels of part I", lambda: len(entries()) >= 4)
    press(entries()[3])
    press(wait_for("level 4's first drill", lambda: control(
        Atspi.Role.LIST_ITEM, prefix="Шаг 1. Аккорды")))
    listen = wait_for("the drill question", lambda: control(Atspi.Role.PUSH_BUTTON, "Послушать аккорды"))
    walk("drill question")
    first_on_page("drill question", listen)
    press(quiet_playback(listen, "Ответить"))
    answer = wait_for("the drill's answers", lambda: control(
        Atspi.Role.PUSH_BUTTON, "Первый на белых, второй на чёрных"))
    press(answer)
    result = wait_for("a drill result", lambda: "right" if control(Atspi.Role.LINK, "Дальше") else
                      "wrong" if control(Atspi.Role.PUSH_BUTTON, "Послушать 1-й аккорд") else None)
    walk(f"drill result ({result})")
    print(f"DRILL {result}")


def statistics(level):
    """A level's statistics once it has an answer: each view, then the history
    saved through the file dialog, all by actions."""
    press(control(Atspi.Role.PUSH_BUTTON, "Часть I"))
    wait_for("the levels of part I", lambda: len(entries()) >= level)
    press(entries()[level - 1])
    press(wait_for(f"level {level}'s page", lambda: control(Atspi.Role.LINK, "Моя статистика")))
    wait_for("the statistics with answers", lambda: control(
        Atspi.Role.PUSH_BUTTON, "Сохранить историю в CSV"))
    for view in ("Успехи по дням", "Время ответа", "Путаница нот"):
        press(wait_for(f"the view link {view!r}", lambda: control(Atspi.Role.LINK, view)))
        wait_for(f"the plot {view!r}", lambda: any(
            n.get_name() == view and n.get_role() != Atspi.Role.LINK for n in visible_controls()))
        walk(f"statistics: {view}")
    press(wait_for("the save button", lambda: control(
        Atspi.Role.PUSH_BUTTON, "Сохранить историю в CSV")))
    target = os.environ.get("NK_CSV_PATH")
    dialog = wait_for("the save dialog", lambda: next(
        (w for w in children(APP) if w.get_role() in (Atspi.Role.DIALOG, Atspi.Role.FILE_CHOOSER)), None))
    name_box = wait_for("the dialog's file name", lambda: next(
        (n for n in nodes(dialog) if has(n, Atspi.StateType.EDITABLE) and showing(n)
         and n.get_role() == Atspi.Role.TEXT), None))
    name_box.set_text_contents(target)
    button = wait_for("the dialog's save button", lambda: next(
        (n for n in nodes(dialog) if n.get_role() == Atspi.Role.PUSH_BUTTON
         and n.get_name() in ("Save", "&Save", "Сохранить") and has(n, Atspi.StateType.ENABLED)), None))
    press(button)
    wait_for("the history saved", lambda: os.path.exists(target) and os.path.getsize(target) > 0)
    print(f"SAVED {target}")
    press(wait_for("«Вернуться»", lambda: control(Atspi.Role.LINK, "Вернуться")))


ANSWER = "тихой и звонкой"


def answer_box():
    for node in visible_controls():
        if has(node, Atspi.StateType.EDITABLE):
            return node
    return None


def on_named(node, name):
    return node is not None and node.get_name() == name


TIMBRES = ["Фортепиано", "Гитара", "Струнные", "Кларнет", "Флейта", "Вибрафон", "Орган", "Хор"]


def settings_page():
    """The timbres are list items a press chooses, the mix a check box; the
    page's way back leads to the level again. The course's own timbre is
    chosen again before leaving, as the default course holds no other."""
    press(wait_for("the settings link", lambda: control(Atspi.Role.LINK, "Настройки")))
    guitar = wait_for("the settings page", lambda: control(Atspi.Role.LIST_ITEM, "Гитара"))
    walk("settings page")
    names = [e.get_name() for e in entries()]
    if names != TIMBRES:
        fail(f"settings page: the timbres read as {names}")
    press(guitar)
    wait_for("«Гитара» told as chosen", lambda: "выбран" in
             (control(Atspi.Role.LIST_ITEM, "Гитара").get_description() or ""))
    mix = control(Atspi.Role.CHECK_BOX, "Разные тембры")
    if mix is None or "Toggle" not in actions(mix):
        fail("settings page: no check box «Разные тембры» to toggle")
    else:
        mix.do_action(actions(mix).index("Toggle"))
        wait_for("«Разные тембры» ticked", lambda: has(mix, Atspi.StateType.CHECKED))
        mix.do_action(actions(mix).index("Toggle"))
        wait_for("«Разные тембры» unticked", lambda: not has(mix, Atspi.StateType.CHECKED))
    ticks = [n.get_name() for n in visible_controls() if n.get_role() == Atspi.Role.CHECK_BOX
             and n.get_name().endswith(" среди разных тембров")]
    if ticks != [f"{name} среди разных тембров" for name in TIMBRES]:
        fail(f"settings page: the timbres' ticks read as {ticks}")
    press(control(Atspi.Role.LIST_ITEM, "Фортепиано"))
    press(control(Atspi.Role.LINK, "Вернуться"))
    wait_for("the level page again", lambda: control(Atspi.Role.LINK, "Моя статистика") and entries())


def all_entries():
    return [n for n in visible_controls() if n.get_role() == Atspi.Role.LIST_ITEM]


def entries():
    return [e for e in all_entries() if has(e, Atspi.StateType.ENABLED)]


def first_on_page(page, expected):
    wait_for(f"the focus on the first control of the {page}",
             lambda: on_named(focused(), expected.get_name()), 10)


def result_page():
    if control(Atspi.Role.LINK, "Дальше"):
        return "right"
    if control(Atspi.Role.LINK, "Сравнить ноты", enabled=False) or control(
        Atspi.Role.LINK, "Сравнить ноты"
    ):
        return "wrong"
    return None


if __name__ == "__main__":
    main()
