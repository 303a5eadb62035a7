#!/usr/bin/env python3
"""The release's packages: portable zips with fixed times, and winget manifests, checked.

  package.py zip OUT.zip EPOCH NAME=FILE...       a zip of the files under the given names
  package.py winget DIR VERSION INSTALLER URL      the three manifests, with the installer's SHA256
  package.py check-winget DIR                      each manifest parses and has its required fields
"""
import hashlib
import os
import sys
import time
import zipfile

import yaml

PACKAGE = "Corvel.Lumetta"
MANIFEST_VERSION = "1.6.0"
REQUIRED = {
    "version": ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType",
                "ManifestVersion"],
    "installer": ["PackageIdentifier", "PackageVersion", "InstallerType", "Scope",
                  "InstallerSwitches", "Installers", "ManifestType", "ManifestVersion"],
    "defaultLocale": ["PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher",
                      "PackageName", "License", "ShortDescription", "ManifestType",
                      "ManifestVersion"],
}
REQUIRED_PER_INSTALLER = ["Architecture", "InstallerUrl", "InstallerSha256"]


def make_zip(out, epoch, *entries):
    # Zip times are local times from 1980 on, with two-second steps.
    stamp = time.gmtime(max(int(epoch), 315532800))[:6]
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for entry in sorted(entries):
            name, path = entry.split("=", 1)
            info = zipfile.ZipInfo(name, stamp)
            info.create_system = 0
            info.external_attr = 0x20  # archive bit, no Unix mode
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as f:
                z.writestr(info, f.read())


def manifest_files(folder):
    return {kind: os.path.join(folder, PACKAGE + suffix) for kind, suffix in
            (("version", ".yaml"), ("installer", ".installer.yaml"),
             ("defaultLocale", ".locale.en-US.yaml"))}


def write_winget(folder, version, installer, url):
    sha = hashlib.sha256(open(installer, "rb").read()).hexdigest().upper()
    common = {"PackageIdentifier": PACKAGE, "PackageVersion": version}
    tail = {"ManifestVersion": MANIFEST_VERSION}
    docs = {
        "version": {**common, "DefaultLocale": "en-US", "ManifestType": "version", **tail},
        "installer": {**common, "InstallerType": "nullsoft", "Scope": "machine",
                      "InstallerSwitches": {"Silent": "/S", "SilentWithProgress": "/S"},
                      "UpgradeBehavior": "install", "ProductCode": "Lumetta",
                      "Installers": [{"Architecture": arch, "InstallerUrl": url,
                                      "InstallerSha256": sha} for arch in ("x64", "x86")],
                      "ManifestType": "installer", **tail},
        "defaultLocale": {**common, "PackageLocale": "en-US", "Publisher": "Corvel",
                          "PublisherUrl": "https://corvel.example", "PackageName": "Lumetta",
                          "PackageUrl": "https://corvel.example", "License": "Freeware",
                          "Copyright": "Copyright (C) 2026 Corvel",
                          "ShortDescription": "Live previews of any area of the screen.",
                          "Description": "Drag out an area of the screen and Lumetta keeps a "
                                         "live, zoomable preview of it above other windows.",
                          "Tags": ["preview", "screen", "thumbnail", "monitor"],
                          "ManifestType": "defaultLocale", **tail},
    }
    os.makedirs(folder, exist_ok=True)
    header = "# yaml-language-server: $schema=https://aka.ms/winget-manifest.%s.%s.schema.json\n"
    for kind, path in manifest_files(folder).items():
        with open(path, "w", newline="\n") as f:
            f.write(header % (kind, MANIFEST_VERSION))
            yaml.safe_dump(docs[kind], f, sort_keys=False)


def check_winget(folder):
    missing = []
    docs = {kind: yaml.safe_load(open(path)) for kind, path in manifest_files(folder).items()}
    for kind, doc in docs.items():
        missing += ["%s: %s" % (kind, k) for k in REQUIRED[kind] if not doc.get(k)]
        if doc.get("ManifestType") != kind:
            missing.append("%s: ManifestType is %r" % (kind, doc.get("ManifestType")))
    for i, one in enumerate(docs["installer"].get("Installers") or []):
        missing += ["installer %d: %s" % (i, k) for k in REQUIRED_PER_INSTALLER if not one.get(k)]
        if len(str(one.get("InstallerSha256", ""))) != 64:
            missing.append("installer %d: InstallerSha256 is not a SHA256" % i)
    ids = {(d.get("PackageIdentifier"), str(d.get("PackageVersion"))) for d in docs.values()}
    if len(ids) != 1:
        missing.append("the manifests name different packages or versions: %s" % ids)
    for m in missing:
        print("winget manifest:", m)
    return 1 if missing else 0


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    if command == "zip":
        make_zip(*args)
    elif command == "winget":
        write_winget(*args)
    else:
        sys.exit(check_winget(*args))
