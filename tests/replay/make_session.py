# Writes a session script for the replay tests: at each gesture it runs the session so far, reads
# the board and picks the swap or switch that connects the largest group (a simple bot).
# usage: make_session.py MODE SEED GESTURES TICKS REPORTS(comma list) OUT.txt [SESSION_TOOL]
# SESSION_DISPLAY=WxH in the environment plays on that display size.
import subprocess, sys, random
TOOL=sys.argv[7] if len(sys.argv) > 7 else "build/tools/session/squibly_session"
import tempfile, os
EMPTY = tempfile.mkdtemp()
CUR = os.path.join(EMPTY, "cur")
def centre(c,r): return 10+c*50+25, 10+r*50+25
def run(lines, upto):
    open(CUR+".txt","w").write("\n".join(lines + [f"report {upto}", f"ticks {upto}"])+"\n")
    subprocess.run([TOOL,CUR+".txt","--dir",EMPTY,"--out",CUR+".out"],stdout=subprocess.DEVNULL,stderr=subprocess.DEVNULL)
    txt=open(CUR+".out").read().split("\n")
    kinds=[]; bp=None
    for l in txt:
        if "boardPhase" in l: bp=float(l.split("boardPhase")[1].split()[0])
        if l.strip().startswith("kinds"): kinds.append([float(v) for v in l.split()[1:]])
    return bp, kinds
def group_size(b, c, r):
    k=b[r][c]; seen={(c,r)}; st=[(c,r)]
    while st:
        x,y=st.pop()
        for dx,dy in((1,0),(-1,0),(0,1),(0,-1)):
            nx,ny=x+dx,y+dy
            if 0<=nx<6 and 0<=ny<6 and (nx,ny) not in seen and b[ny][nx]==k:
                seen.add((nx,ny)); st.append((nx,ny))
    return len(seen)
def best_move(b, rnd):
    cands=[]
    for r in range(6):
        for c in range(6):
            for dx,dy in((1,0),(0,1)):
                c2,r2=c+dx,r+dy
                if c2>5 or r2>5: continue
                nb=[row[:] for row in b]; nb[r][c],nb[r2][c2]=nb[r2][c2],nb[r][c]
                if nb[r][c]>8 or nb[r2][c2]>8: continue
                s=max(group_size(nb,c,r),group_size(nb,c2,r2))
                if s>=2: cands.append((s,c,r,c2,r2))
    for r in range(6):
        for c in range(6):
            k=b[r][c]
            if k>8: continue
            nb=[row[:] for row in b]; nb[r][c]=k+1 if int(k)%2==1 else k-1
            s=group_size(nb,c,r)
            if s>=4: cands.append((s-0.5,c,r,c,r))
    if not cands: return None
    cands.sort(reverse=True)
    top=[m for m in cands if m[0]==cands[0][0]]
    return rnd.choice(top)
mode, seed, gestures, ticks, reports, name = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), sys.argv[5], sys.argv[6]
rnd=random.Random(seed)
lines=[f"# {mode} session: moves chosen to connect groups of four or more, seed {seed}", f"mode {mode}", f"seed {seed}"]
if os.environ.get("SESSION_DISPLAY"): lines.append("display " + os.environ["SESSION_DISPLAY"])
t=200
for g in range(gestures):
    bp,b=run(lines,t)
    tries=0
    while bp!=2 and tries<20:
        t+=15; bp,b=run(lines,t); tries+=1
    m=best_move(b,rnd)
    if m is None or rnd.random()<0.1 or (m[1],m[2])==(m[3],m[4]):
        if m is not None and (m[1],m[2])==(m[3],m[4]): c,r=m[1],m[2]
        else: c,r=rnd.randrange(6),rnd.randrange(6)
        x,y=centre(c,r)
        lines+=[f"{t} {x} {y} 1",f"{t+3} {x} {y} 0",f"{t+6} {x} {y} 1",f"{t+9} {x} {y} 0"]
    else:
        s,c,r,c2,r2=m
        if rnd.random()<0.5: c,r,c2,r2=c2,r2,c,r
        x,y=centre(c,r); x2,y2=centre(c2,r2)
        lines+=[f"{t} {x} {y} 1",f"{t+4} {(x+x2)//2} {(y+y2)//2} 1",f"{t+6} {x2} {y2} 1",f"{t+8} {x2} {y2} 0"]
    t+=30
for rt in reports.split(","): lines.append(f"report {rt}")
lines.append(f"ticks {ticks}")
open(name,"w").write("\n".join(lines)+"\n")
print(name, "gestures", gestures, "last", t)
