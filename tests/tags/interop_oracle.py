"""Reads and writes ID3 tags with mutagen, as an independent check of Zindara's tag library.

  interop_oracle.py dump FILE          prints what mutagen reads, as JSON
  interop_oracle.py write FILE SPEC    writes the tags described by the JSON text SPEC
"""
import json
import sys

import mutagen.id3 as id3
from mutagen.mp3 import MP3


def frame_json(frame):
    result = {"id": frame.FrameID}
    if isinstance(frame, id3.TXXX):
        result.update(desc=frame.desc, text=[str(t) for t in frame.text], encoding=int(frame.encoding))
    elif isinstance(frame, (id3.COMM, id3.USLT)):
        text = frame.text if isinstance(frame.text, list) else [frame.text]
        result.update(lang=frame.lang, desc=frame.desc, text=[str(t) for t in text],
                      encoding=int(frame.encoding))
    elif isinstance(frame, id3.TCON):
        result.update(text=[str(t) for t in frame.text], encoding=int(frame.encoding), genres=frame.genres)
    elif isinstance(frame, id3.TextFrame):
        result.update(text=[str(t) for t in frame.text], encoding=int(frame.encoding))
    elif isinstance(frame, id3.WXXX):
        result.update(desc=frame.desc, url=frame.url)
    elif isinstance(frame, id3.UrlFrame):
        result.update(url=frame.url)
    elif isinstance(frame, id3.APIC):
        result.update(mime=frame.mime, type=int(frame.type), desc=frame.desc, data=frame.data.hex())
    elif isinstance(frame, id3.POPM):
        result.update(email=frame.email, rating=frame.rating, count=getattr(frame, "count", None))
    elif isinstance(frame, id3.PRIV):
        result.update(owner=frame.owner, data=frame.data.hex())
    return result


def dump(path):
    out = {"v2": None, "v1": None, "mpeg": None}
    try:
        tags = id3.ID3(path, translate=False, load_v1=False)
        out["v2"] = {"version": list(tags.version), "size": tags.size,
                     "frames": [frame_json(f) for f in tags.values()]}
    except id3.ID3NoHeaderError:
        pass
    with open(path, "rb") as f:
        data = f.read()
    if len(data) >= 128 and data[-128:-125] == b"TAG":
        frames = id3.ParseID3v1(data[-128:])
        if frames is not None:
            out["v1"] = {k: str(v) for k, v in frames.items()}
            if "TCON" in frames:
                out["v1"]["TCON"] = frames["TCON"].genres[0]
    try:
        info = MP3(path).info
        out["mpeg"] = {"bitrate": info.bitrate, "sample_rate": info.sample_rate}
    except Exception:
        pass
    print(json.dumps(out, ensure_ascii=True))


def make_frame(spec):
    fid = spec["id"]
    enc = spec.get("encoding", 0)
    if fid == "TCON" and isinstance(spec["text"], list):
        return id3.TCON(encoding=enc, text=spec["text"])
    if fid == "TXXX":
        return id3.TXXX(encoding=enc, desc=spec["desc"], text=[spec["text"]])
    if fid in ("COMM", "USLT"):
        cls = getattr(id3, fid)
        return cls(encoding=enc, lang=spec["lang"], desc=spec["desc"], text=spec["text"])
    if fid == "WXXX":
        return id3.WXXX(encoding=enc, desc=spec["desc"], url=spec["url"])
    if fid == "APIC":
        return id3.APIC(encoding=enc, mime=spec["mime"], type=spec["type"], desc=spec["desc"],
                        data=bytes.fromhex(spec["data"]))
    if fid == "POPM":
        return id3.POPM(email=spec["email"], rating=spec["rating"], count=spec["count"])
    if fid == "PRIV":
        return id3.PRIV(owner=spec["owner"], data=bytes.fromhex(spec["data"]))
    cls = getattr(id3, fid)
    if fid.startswith("W"):
        return cls(url=spec["url"])
    return cls(encoding=enc, text=[spec["text"]])


def write(path, spec_text):
    spec = json.loads(spec_text)
    tags = id3.ID3()
    for frame in spec["frames"]:
        tags.add(make_frame(frame))
    if spec["version"] == 3:
        tags.update_to_v23()
    v1 = 2 if spec.get("v1") else 0
    tags.save(path, v1=v1, v2_version=spec["version"], padding=lambda info: spec.get("padding", 0))


if __name__ == "__main__":
    if sys.argv[1] == "dump":
        dump(sys.argv[2])
    elif sys.argv[1] == "write":
        write(sys.argv[2], sys.argv[3])
    else:
        sys.exit(2)
