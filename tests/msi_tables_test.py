#!/usr/bin/env python3
"""The installer as msitools reads it: where each file goes, what Windows is
told about the settings file, the grant and the upgrade, and that two builds
of one tree give the same tables. These are the facts Wine cannot prove (it
runs every action as one user and keeps no file rights).

usage: msi_tables_test.py KORUNEX-x64.msi STAGE_DIR ICON SOURCE_DIR
"""
import pathlib
import struct
import subprocess
import sys
import tempfile

msi, stage, icon, source = (pathlib.Path(a) for a in sys.argv[1:5])
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
directories = {row["Directory"]: row for row in table("Directory")}
sequence = {row["Action"]: row for row in table("InstallExecuteSequence")}
actions = {row["Action"]: row for row in table("CustomAction")}


def where(directory):
    """A directory as the installer resolves it: its top folder, then names."""
    row = directories[directory]
    name = row["DefaultDir"].split(":")[-1].split("|")[-1]
    if row["Directory_Parent"] in ("", "TARGETDIR"):
        return directory
    return where(row["Directory_Parent"]) + "\\" + name


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
    icons = {row["Name"] for row in table("Icon")}
    check(properties.get("ARPPRODUCTICON") in icons, "the list of programs has no icon")
    check(msiinfo("extract", f"Icon.{properties.get('ARPPRODUCTICON')}") == icon.read_bytes(),
          "the icon is not the module's")


def each_file_lands_where_it_belongs_with_the_zips_bytes():
    expected = {
        "KORUNEX64.SCR": "System64Folder",
        "KORUNEX.ini": "WindowsFolder",
        "korunex-text.exe": "ProgramFiles64Folder\\KORUNEX",
        "READ-ME.txt": "ProgramFiles64Folder\\KORUNEX",
        "LICENSE.txt": "ProgramFiles64Folder\\KORUNEX",
    }
    files = {row["FileName"].split("|")[-1]: row for row in table("File")}
    check(sorted(files) == sorted(expected), f"the package holds {sorted(files)}")
    for name, row in files.items():
        component = components[row["Component_"]]
        check(where(component["Directory_"]) == expected.get(name), f"{name} goes to {where(component['Directory_'])}")
        check(int(component["Attributes"]) & 256, f"{name}'s component is not 64-bit")
    with tempfile.TemporaryDirectory() as out:
        subprocess.run(["msiextract", "-C", out, str(msi)], check=True, capture_output=True)
        extracted = {p.name: p for p in pathlib.Path(out).rglob("*") if p.is_file()}
        for name in expected:
            check(name in extracted and extracted[name].read_bytes() == (stage / name).read_bytes(),
                  f"{name} in the package differs from the zip's")
        licence = extracted.get("LICENSE.txt")
        check(licence is not None and b"Permission is hereby granted" in licence.read_bytes(),
              "the package has no licence")


def only_the_settings_file_is_kept_and_never_replaced():
    permanent, never_overwrite = 16, 128
    for name, component in components.items():
        kept = (int(component["Attributes"]) & (permanent | never_overwrite)) == (permanent | never_overwrite)
        check(kept == (component["KeyPath"] == "KORUNEX.ini"),
              f"component {name}: attributes {component['Attributes']}")


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
        check('"[WindowsFolder]KORUNEX.ini"' in row["Target"], f"the grant names {row['Target']}")
        check(step("InstallFiles") < step(name) < step("InstallFinalize"), "the grant is not between the files and the end")
        check(sequence[name]["Condition"] == 'NOT REMOVE~="ALL"', "the grant runs on removal or never")
        # Its program is a property, set once the folders are known.
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
             each_file_lands_where_it_belongs_with_the_zips_bytes,
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
