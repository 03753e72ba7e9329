#!/usr/bin/env python3
"""The installer as msitools reads it: what Windows is told about the
product, the settings file, the shortcut, the grant and the upgrade, and
that two builds of one tree give the same tables. Wine cannot prove these
(it runs every action as one user, keeps no file rights, and does not tell
an advertised shortcut from a plain one); wine.msi.install checks where the
files land and what survives.

usage: msi_tables_test.py KORUNEX-x64.msi STAGE_DIR ICON SOURCE_DIR
"""
import pathlib
import struct
import subprocess
import sys
import tempfile

msi, stage, icon, source = (pathlib.Path(a).resolve() for a in sys.argv[1:5])
failures = []
# msiinfo writes the streams of an exported table into the folder it runs in.
scratch = tempfile.TemporaryDirectory()


def check(ok, what):
    if not ok:
        failures.append(what)


def msiinfo(*args, path=msi):
    return subprocess.run(["msiinfo", *args[:1], str(path), *args[1:]], check=True,
                          capture_output=True, cwd=scratch.name).stdout


def table(name, path=msi):
    """The rows of a table as dicts by column name."""
    lines = msiinfo("export", name, path=path).decode("utf-8").split("\r\n")
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:] if line]


def version_resource(module):
    """a.b.c.d of the PE file's fixed version block."""
    data = module.read_bytes()
    at = data.index(struct.pack("<I", 0xFEEF04BD))
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"


def build(version, out):
    subprocess.run([str(source / "scripts/make-msi"), version, str(stage), str(icon), str(out)],
                   check=True, capture_output=True)


properties = {row["Property"]: row["Value"] for row in table("Property")}
components = {row["Component"]: row for row in table("Component")}
sequence = {row["Action"]: row for row in table("InstallExecuteSequence")}
actions = {row["Action"]: row for row in table("CustomAction")}


def step(action):
    return int(sequence[action]["Sequence"])


def product_is_64_bit_and_per_machine_at_the_module_version():
    summary = msiinfo("suminfo").decode()
    check("Template: x64;1033" in summary, "the package is not marked for 64-bit Windows")
    check(properties.get("ALLUSERS") == "1", "the package is not per machine")
    module_version = version_resource(stage / "KORUNEX64.SCR")
    check(properties.get("ProductVersion") == module_version,
          f"product version {properties.get('ProductVersion')} is not the module's {module_version}")
    # Released packages carry this code; a new one would install beside them.
    check(properties.get("UpgradeCode") == "{3BC8C934-BB05-42B3-B6FB-30715091BA07}", "the upgrade code changed")
    check(properties.get("ARPPRODUCTICON") in {row["Name"] for row in table("Icon")}, "the list of programs has no icon")


def only_the_settings_file_is_kept_and_never_replaced():
    wide, permanent, never_overwrite = 256, 16, 128
    for name, component in components.items():
        attributes = int(component["Attributes"])
        kept = (attributes & (permanent | never_overwrite)) == (permanent | never_overwrite)
        check(kept == (component["KeyPath"] == "KORUNEX.ini") and attributes & wide,
              f"component {name}: attributes {attributes}")


def shortcut_starts_the_installed_text_window():
    shortcuts = table("Shortcut")
    check(len(shortcuts) == 1, f"{len(shortcuts)} shortcuts")
    files = {row["File"]: row["FileName"].split("|")[-1] for row in table("File")}
    for row in shortcuts:
        check(row["Directory_"] == "ProgramMenuFolder", "the shortcut is not in the Start menu")
        # A file target, not a feature: an advertised shortcut would repair the product when started.
        target = row["Target"]
        check(target.startswith("[#") and files.get(target[2:-1]) == "korunex-text.exe",
              f"the shortcut starts {target}")
        check(row["Arguments"] == "", "the shortcut passes arguments, which make the tool a console tool")


def grant_runs_as_the_installer_after_the_files_and_its_failure_fails():
    deferred, no_impersonate, ignore_exit, asynchronous = 0x400, 0x800, 0x40, 0x80
    grants = [(name, row) for name, row in actions.items() if "S-1-5-32-545" in row["Target"]]
    check(len(grants) == 1, "no single action grants the Users group")
    for name, row in grants:
        kind = int(row["Type"])
        check(kind & deferred and kind & no_impersonate, f"the grant {name} does not run in the system's context")
        check(not kind & (ignore_exit | asynchronous), f"the grant {name} does not wait for and check its result")
        check(step("InstallFiles") < step(name) < step("InstallFinalize"), "the grant is not between the files and the end")
        check(sequence[name]["Condition"] == 'NOT REMOVE~="ALL"', "the grant runs on removal or never")
        # Its program is a private property (no command line sets it), set once the folders are known.
        check(row["Source"] != row["Source"].upper(), f"the grant's program {row['Source']} can be set by the caller")
        setter = [a for a, r in actions.items() if r["Source"] == row["Source"] and a != name]
        check(len(setter) == 1 and actions[setter[0]]["Target"] == "[System64Folder]icacls.exe",
              "the grant's program is not the 64-bit system's icacls")
        check(setter and step("CostFinalize") < step(setter[0]) < step(name), "the grant's program is set too early or late")


def older_builds_are_removed_first_and_newer_ones_kept():
    only_detect, include_maximum = 2, 512
    version = properties["ProductVersion"]
    rows = table("Upgrade")
    older = [r for r in rows if not int(r["Attributes"]) & only_detect]
    newer = [r for r in rows if int(r["Attributes"]) & only_detect]
    # Windows compares three numbers of four: the fourth's builds are replaced too.
    check(len(older) == 1 and older[0]["VersionMax"] == version and int(older[0]["Attributes"]) & include_maximum,
          f"older products found by {older}")
    check(len(newer) == 1 and newer[0]["VersionMin"] == version, f"newer products found by {newer}")
    conditions = [row["Condition"] for row in table("LaunchCondition")]
    check(newer and f"NOT {newer[0]['ActionProperty']}" in conditions, "a newer product does not stop the install")
    check(step("InstallValidate") < step("RemoveExistingProducts") < step("InstallInitialize"),
          "the older product is not removed before this one installs")


def two_builds_give_the_same_tables_and_a_new_version_a_new_product():
    with tempfile.TemporaryDirectory() as out:
        again, newer = pathlib.Path(out, "again.msi"), pathlib.Path(out, "newer.msi")
        build(properties["ProductVersion"], again)
        names = sorted(msiinfo("tables").split())
        check(sorted(msiinfo("tables", path=again).split()) == names, "the second build has other tables")
        for name in names:
            if not name.startswith(b"_"):
                check(msiinfo("export", name.decode()) == msiinfo("export", name.decode(), path=again),
                      f"table {name.decode()} differs between two builds")
        build("9.8.7.6", newer)
        newer_properties = {row["Property"]: row["Value"] for row in table("Property", path=newer)}
        check(newer_properties["ProductCode"] != properties["ProductCode"], "a new version keeps the product code")
        check(newer_properties["UpgradeCode"] == properties["UpgradeCode"], "a new version changes the upgrade code")
        check(newer_properties["ProductVersion"] == "9.8.7.6", "the version given is not the product's")
        refused = subprocess.run([str(source / "scripts/make-msi"), "2.5.2", str(stage), str(icon), str(newer)],
                                 capture_output=True)
        check(refused.returncode != 0, "a version of three numbers was accepted")


for case in (product_is_64_bit_and_per_machine_at_the_module_version,
             only_the_settings_file_is_kept_and_never_replaced,
             shortcut_starts_the_installed_text_window,
             grant_runs_as_the_installer_after_the_files_and_its_failure_fails,
             older_builds_are_removed_first_and_newer_ones_kept,
             two_builds_give_the_same_tables_and_a_new_version_a_new_product):
    before = len(failures)
    try:
        case()
    except (KeyError, ValueError, IndexError, subprocess.CalledProcessError) as error:
        failures.append(f"{case.__name__}: {error!r}")
    print(("FAIL " if len(failures) > before else "ok   ") + case.__name__)
for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
