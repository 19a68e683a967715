#!/usr/bin/env python3
"""Writes examples/example.mmap, the example plan as a map of the map host.

The map holds the plan of examples/example.qmxg the way the map adapter keeps
a plan in a map: one topic per task in the same hierarchy, the task
information (start, due date, duration in hours with the days unit, percent
complete, the resources text), the fill as the task's colour, and the
adapter's attributes (milestone flag, links both ways, loads, and the
resource pool on the central topic). The GUIDs are derived from the task IDs,
so running the script again gives the same file.

    scripts/make-example-map.py [plan.qmxg [map.mmap]]
"""
import datetime
import sys
import uuid
import xml.etree.ElementTree as ET
from xml.sax.saxutils import quoteattr

NAMESPACE = "urn:qmx:qmxgantt:mm5adapter"
EPOCH = datetime.date(1899, 12, 30)
SEED = uuid.UUID("6f0c8a52-9a61-4d8e-b0a4-3c2d1e5f7a90")


def guid(key):
    return "{" + str(uuid.uuid5(SEED, key)).upper() + "}"


def date_value(text):
    day, month, year = (int(part) for part in text.split("/"))
    return (datetime.date(year, month, day) - EPOCH).days


def number(value):
    return str(int(value)) if float(value).is_integer() else repr(value)


def main():
    source = sys.argv[1] if len(sys.argv) > 1 else "examples/example.qmxg"
    target = sys.argv[2] if len(sys.argv) > 2 else "examples/example.mmap"
    project = ET.parse(source).getroot()

    names = {r.get("id"): r.get("name") for r in project.find("resources")}
    loads = {}
    for a in project.find("allocations"):
        loads.setdefault(a.get("task-id"), []).append((a.get("resource-id"), a.get("load")))
    predecessors = {}
    for task in project.iter("task"):
        for depend in task.findall("depend"):
            predecessors.setdefault(depend.get("id"), []).append((task.get("id"), depend.get("type")))

    central = guid("central")
    pool = ";".join(f"{rid},{name},1" for rid, name in names.items())
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', '<map version="1">']
    description = project.findtext("description") or ""
    lines.append(f"  <description>{ET_escape(description)}</description>")
    lines.append(f'  <topic guid="{central}" text={quoteattr(project.get("name"))}>')
    autocorrect = "true" if project.find("tasks").get("autocorrect") == "1" else "false"
    for name, value in (("AutocorrectDates", autocorrect), ("MatchColors", "true"), ("Resources", pool)):
        lines.append(f'    <attribute namespace="{NAMESPACE}" name="{name}" value={quoteattr(value)}/>')
    lines.append("  </topic>")

    # Parents before children, in the order of the plan.
    stack = [(task, central) for task in reversed(project.find("tasks").findall("task"))]
    while stack:
        task, parent = stack.pop()
        tid = task.get("id")
        me = guid("task" + tid)
        fill = f' fill="#ff{task.get("color")[1:]}"' if task.get("color") else ""
        lines.append(f'  <topic guid="{me}" parent="{parent}" text={quoteattr(task.get("name"))}{fill}>')
        hours = float(task.get("duration")) * 8
        resources = ";".join(names[rid] for rid, _ in loads.get(tid, []))
        info = (f'start="{date_value(task.get("start"))}" due="{date_value(task.get("end"))}" '
                f'hours="{number(hours)}" unit="2" percent="{task.get("complete")}"')
        if resources:
            info += f" resources={quoteattr(resources)}"
        lines.append(f"    <task {info}/>")
        attributes = [("IsMilestone", "true" if task.get("meeting") == "1" else "false"), ("GuidCopy", me)]
        successors = [(guid("task" + d.get("id")), d.get("type")) for d in task.findall("depend")]
        if successors:
            attributes.append(("Successors", ";".join(f"{g},{t}" for g, t in successors)))
        if tid in predecessors:
            attributes.append(("Predecessors", ";".join(f"{guid('task' + p)},{t}" for p, t in predecessors[tid])))
        if tid in loads:
            attributes.append(("TaskResources", ";".join(f"{rid},{load}" for rid, load in loads[tid])))
        for name, value in attributes:
            lines.append(f'    <attribute namespace="{NAMESPACE}" name="{name}" value={quoteattr(value)}/>')
        lines.append("  </topic>")
        stack.extend((child, me) for child in reversed(task.findall("task")))
    lines.append("</map>")
    with open(target, "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")


def ET_escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


if __name__ == "__main__":
    main()
