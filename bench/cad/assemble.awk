# Places copies of ASCII STL parts at pseudo-random positions and angles, so
# that they pass through one another as the parts of a real assembly do, and
# writes them as one OBJ file: an object per copy, a material per part kind,
# and a clipper box around the whole.
# Usage: awk -v seed=S -v spread=HALF -v mtl=FILE.mtl -f assemble.awk \
#            PART.stl:MATERIAL:COPIES... > OUT.obj
# The generator is a Park-Miller sequence, exact in awk's doubles, so the
# same seed gives the same file with any awk.
function next_random() {
    state = (state * 16807) % 2147483647
    return state / 2147483647
}
function range(lo, hi) { return lo + (hi - lo) * next_random() }
function read_part(file,    line, f, n) {
    n = 0
    while ((getline line < file) > 0) {
        split(line, f, " ")
        if (f[1] == "vertex") {
            n++
            px[file, n] = f[2] + 0; py[file, n] = f[3] + 0; pz[file, n] = f[4] + 0
        }
    }
    close(file)
    corners[file] = n
}
function place(file, material, name,    a, b, c, ca, sa, cb, sb, cc, sc, ox, oy, oz, k, x, y, z) {
    a = range(0, 6.283185307179586); b = range(0, 6.283185307179586)
    c = range(0, 6.283185307179586)
    ca = cos(a); sa = sin(a); cb = cos(b); sb = sin(b); cc = cos(c); sc = sin(c)
    ox = range(-spread, spread); oy = range(-spread, spread); oz = range(-spread, spread)
    print "o " name
    print "usemtl " material
    for (k = 1; k <= corners[file]; k++) {
        x = px[file, k]; y = py[file, k]; z = pz[file, k]
        # Rz(a) Ry(b) Rx(c)
        printf "v %.5f %.5f %.5f\n",
            ox + ca * cb * x + (ca * sb * sc - sa * cc) * y + (ca * sb * cc + sa * sc) * z,
            oy + sa * cb * x + (sa * sb * sc + ca * cc) * y + (sa * sb * cc - ca * sc) * z,
            oz - sb * x + cb * sc * y + cb * cc * z
    }
    for (k = 1; k <= corners[file]; k += 3) {
        printf "f %d %d %d\n", base + k, base + k + 1, base + k + 2
    }
    base += corners[file]
}
function clipper_box(h,    i, s) {
    print "o ClipperBox"
    print "usemtl clipper"
    for (i = 0; i < 8; i++) {
        printf "v %.1f %.1f %.1f\n", (i % 2 ? h : -h), (int(i / 2) % 2 ? h : -h), (i >= 4 ? h : -h)
    }
    # Faces inward: the box bounds what is inside it.
    split("1 2 4 1 4 3 5 7 8 5 8 6 1 5 6 1 6 2 3 4 8 3 8 7 1 3 7 1 7 5 2 6 8 2 8 4", s, " ")
    for (i = 1; i <= 36; i += 3) printf "f %d %d %d\n", base + s[i], base + s[i + 1], base + s[i + 2]
    base += 8
}
BEGIN {
    state = seed + 0
    print "mtllib " mtl
    base = 0
    copy = 0
    for (i = 1; i < ARGC; i++) {
        split(ARGV[i], spec, ":")
        if (!(spec[1] in corners)) read_part(spec[1])
        kind = spec[1]; sub(/.*\//, "", kind); sub(/\.stl$/, "", kind)
        for (j = 1; j <= spec[3]; j++) place(spec[1], spec[2], kind "_" ++copy)
    }
    clipper_box(spread * 2)
    exit
}
