# A count of the shipped puzzles of identical pieces made apart from the solver, for checking its
# counts: every tiling of the box by brute force, then the classes under the box's rotations (and
# with reflections). python3 tests/count_tilings.py prints (tilings, symmetries, classes).
import itertools, sys
def rotations(mirror):
    mats=[]
    for perm in itertools.permutations(range(3)):
        for signs in itertools.product([1,-1],repeat=3):
            m=[[0]*3 for _ in range(3)]
            for i in range(3): m[i][perm[i]]=signs[i]
            det=(m[0][0]*(m[1][1]*m[2][2]-m[1][2]*m[2][1])-m[0][1]*(m[1][0]*m[2][2]-m[1][2]*m[2][0])+m[0][2]*(m[1][0]*m[2][1]-m[1][1]*m[2][0]))
            if det==1 or mirror: mats.append(m)
    return mats
def apply(m,c): return tuple(sum(m[i][j]*c[j] for j in range(3)) for i in range(3))
def norm(cells):
    lo=[min(c[i] for c in cells) for i in range(3)]
    return frozenset(tuple(c[i]-lo[i] for i in range(3)) for c in cells)
def count(box, shape, mirror):
    X,Y,Z=box
    cells=[(x,y,z) for z in range(Z) for y in range(Y) for x in range(X)]
    cellset=set(cells)
    shapes={norm([apply(m,c) for c in shape]) for m in rotations(False)}
    placements=[]
    for s in shapes:
        for dx in range(X):
            for dy in range(Y):
                for dz in range(Z):
                    p=frozenset((c[0]+dx,c[1]+dy,c[2]+dz) for c in s)
                    if p<=cellset: placements.append(p)
    placements=list(set(placements))
    by_cell={c:[p for p in placements if c in p] for c in cells}
    tilings=[]
    def go(covered, chosen):
        for c in cells:
            if c not in covered: break
        else:
            tilings.append(frozenset(chosen)); return
        for p in by_cell[c]:
            if not (p & covered):
                go(covered|p, chosen+[p])
    go(frozenset(),[])
    syms=[]
    for m in rotations(mirror):
        img=[apply(m,c) for c in cells]
        lo=[min(c[i] for c in img) for i in range(3)]
        f={c:tuple(i[k]-lo[k] for k in range(3)) for c,i in zip(cells,img)}
        if set(f.values())==cellset: syms.append(f)
    classes=set()
    for t in tilings:
        classes.add(min(tuple(sorted(tuple(sorted(f[c] for c in p)) for p in t)) for f in syms))
    return len(tilings), len(syms), len(classes)
if __name__=='__main__':
    for box,shape,name in [((2,4,4),[(0,0,0),(1,0,0)],'dominoes 2x4x4'),((2,3,4),[(0,0,0),(1,0,0),(0,1,0)],'L-trominoes 2x3x4')]:
        for mirror in (False,True):
            print(name, 'mirror' if mirror else 'rotations', count(box,shape,mirror))
