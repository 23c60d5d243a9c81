// Mechanical parts written for the bench corpus, one chosen by -D part=N, at
// the resolution a CAD export of a detailed model has. Each is one extrusion
// or a small boolean, so that OpenSCAD exports it in about a second;
// bench/cad/assemble.awk places the copies.
part = 0;
$fn = 96;

module spur_gear(teeth = 24, module_ = 2, width = 12, bore = 8) {
    r = teeth * module_ / 2;
    linear_extrude(height = width)
    difference() {
        union() {
            circle(r = r - module_);
            for (i = [0 : teeth - 1]) rotate(i * 360 / teeth)
                polygon([[r - module_, -module_ * 0.9], [r + module_, -module_ * 0.45],
                         [r + module_, module_ * 0.45], [r - module_, module_ * 0.9]]);
        }
        circle(r = bore);
        for (i = [0 : 5]) rotate(i * 60) translate([r * 0.55, 0]) circle(r = r * 0.15);
    }
}

module pulley() {
    rotate_extrude()
    polygon([[6, -10], [30, -10], [30, -7], [24, -4], [24, -2], [30, 1], [30, 4], [24, 7],
             [24, 9], [30, 12], [30, 15], [14, 15], [14, 22], [6, 22]]);
}

module flanged_shaft() {
    rotate_extrude()
    polygon([[0, 0], [9, 0], [9, 60], [16, 60], [16, 66], [9, 66], [9, 70], [7, 72], [7, 110],
             [0, 110]]);
}

module bearing() {
    rotate_extrude() polygon([[10, 0], [22, 0], [22, 1], [21, 2], [21, 12], [22, 13], [22, 14],
                              [10, 14], [10, 13], [11, 12], [11, 2], [10, 1]]);
}

module bolt() {
    cylinder(r = 8, h = 6, $fn = 6);
    translate([0, 0, 6]) cylinder(r = 4.5, h = 40);
}

module tube(l = 120) {
    difference() { cylinder(r = 5, h = l); translate([0, 0, -1]) cylinder(r = 4, h = l + 2); }
}

module crank() {
    linear_extrude(height = 10)
    difference() {
        hull() { circle(r = 18); translate([60, 0]) circle(r = 12); }
        circle(r = 8);
        translate([60, 0]) circle(r = 5);
    }
}

if (part == 0) spur_gear();
if (part == 1) spur_gear(teeth = 40, module_ = 1.5, width = 8, bore = 10);
if (part == 2) pulley();
if (part == 3) flanged_shaft();
if (part == 4) bearing();
if (part == 5) bolt();
if (part == 6) tube();
if (part == 7) crank();
