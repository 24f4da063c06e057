-- Material database "semiconductor.kovradb": the standard materials of the
-- engine at 300 K. The build turns this script into the database file with
-- the sqlite3 program (etc/CMakeLists.txt).
--
-- The engine and the device editor read the table by COLUMN POSITION
-- (SELECT *), so the order of the columns below is part of the file format:
-- never insert, remove or reorder a column; add new ones at the end.
-- Columns marked "(not read)" carry notes for people browsing the file.
--
-- The rows of the 30 built-in materials hold exactly the values of the
-- engine's built-in table (engine/model/ekMaterialTable.cpp); a test
-- compares the two. Five more rows (Se, MgO, SnO2, In2O3, ITO) give the
-- materials the device editor offers beyond the built-in table; the engine
-- knows them only from here.

PRAGMA foreign_keys = OFF;
BEGIN TRANSACTION;

DROP TABLE IF EXISTS TABLE_MATERIAL;
CREATE TABLE TABLE_MATERIAL (
  Id                  INTEGER PRIMARY KEY,          --  0 (not read)
  Name                TEXT NOT NULL UNIQUE COLLATE NOCASE,  --  1 the look-up key
  FullName            TEXT,                         --  2 (not read)
  Reference           TEXT,                         --  3 source of the values (not read)
  -- "none": no restriction on the band tails, i.e. the Urbach model is on;
  -- any other text (or none) leaves it off.
  UrbachRestriction   TEXT DEFAULT 'disabled',      --  4
  Structure           TEXT,                         --  5 crystal structure (not read)
  Thickness           REAL DEFAULT 1,               --  6 um
  Bandgap             REAL,                         --  7 eV
  BandgapType         REAL,                         --  8 1 direct, 2 indirect
  Affinity            REAL,                         --  9 eV
  AffinityNote        TEXT,                         -- 10 (not read)
  Eso                 REAL,                         -- 11 split-off energy, eV
  EsoNote             TEXT,                         -- 12 (not read)
  Me                  REAL,                         -- 13 effective masses, relative
  MeNote              TEXT,                         -- 14 (not read)
  Mhh                 REAL,                         -- 15
  MhhNote             TEXT,                         -- 16 (not read)
  Mlh                 REAL,                         -- 17
  MlhNote             TEXT,                         -- 18 (not read)
  Msh                 REAL,                         -- 19
  MshNote             TEXT,                         -- 20 (not read)
  DensityNote         TEXT,                         -- 21 (not read)
  NC                  REAL,                         -- 22 1/cm3
  NV                  REAL,                         -- 23 1/cm3
  Permittivity        REAL,                         -- 24 relative
  IndexN              REAL,                         -- 25 constant optical index
  IndexK              REAL,                         -- 26
  -- Optional tab-separated table "wavelength(um) n k", one point a line,
  -- 1024 to 32767 bytes; other sizes are ignored.
  IndexData           BLOB,                         -- 27
  Beta                REAL,                         -- 28 radiative, cm3/s
  Cn                  REAL,                         -- 29 Auger, cm6/s
  Cp                  REAL,                         -- 30 Auger, cm6/s
  DopantN             REAL DEFAULT 1e16,            -- 31 1/cm3 (editor only)
  Taun                REAL DEFAULT 1e-7,            -- 32 SRH lifetimes, s
  Taup                REAL DEFAULT 1e-7,            -- 33
  LifetimeNote        TEXT,                         -- 34 (not read)
  MobilityN           REAL,                         -- 35 cm2/Vs
  MobilityP           REAL,                         -- 36 cm2/Vs
  MobilityNote        TEXT,                         -- 37 (not read)
  RecombinationNote   TEXT,                         -- 38 (not read)
  UrbachNote          TEXT,                         -- 39 (not read)
  UrbachEA            REAL DEFAULT 0.01,            -- 40 tail energies, eV
  UrbachED            REAL DEFAULT 0.01,            -- 41
  UrbachGA            REAL DEFAULT 1e20,            -- 42 tail densities
  UrbachGD            REAL DEFAULT 1e20,            -- 43
  UrbachTaunA         REAL DEFAULT 1e-8,            -- 44 tail lifetimes, s
  UrbachTaupA         REAL DEFAULT 1e-8,            -- 45
  UrbachTaunD         REAL DEFAULT 1e-8,            -- 46
  UrbachTaupD         REAL DEFAULT 1e-8,            -- 47
  -- Two trap proposals, used by the device editor only.
  Trap1N              REAL DEFAULT 1e15,            -- 48 1/cm3
  Trap1Nr             REAL DEFAULT 1e19,            -- 49 1/cm3
  Trap1E              REAL DEFAULT 0.2,             -- 50 eV
  Trap1F              REAL DEFAULT 1,               -- 51
  Trap1W              REAL DEFAULT 0.01,            -- 52 eV (not read)
  Trap1Taun           REAL DEFAULT 1e-8,            -- 53 s
  Trap1Taup           REAL DEFAULT 1e-8,            -- 54 s
  Trap2N              REAL DEFAULT 1e15,            -- 55
  Trap2Nr             REAL DEFAULT 1e19,            -- 56
  Trap2E              REAL DEFAULT 0.2,             -- 57
  Trap2F              REAL DEFAULT 1,               -- 58
  Trap2W              REAL DEFAULT 0.01,            -- 59 (not read)
  Trap2Taun           REAL DEFAULT 1e-8,            -- 60
  Trap2Taup           REAL DEFAULT 1e-8,            -- 61
  LatticeA            REAL,                         -- 62 lattice constants, nm
  LatticeB            REAL,                         -- 63
  LatticeC            REAL,                         -- 64
  LatticeKind         TEXT,                         -- 65 (not read)
  LatticeNote         TEXT,                         -- 66 (not read)
  E31                 REAL DEFAULT 0,               -- 67 piezoelectric constants
  E33                 REAL DEFAULT 0,               -- 68
  C11                 REAL DEFAULT 0,               -- 69 elastic constants
  C12                 REAL DEFAULT 0,               -- 70
  C13                 REAL DEFAULT 100,             -- 71
  C33                 REAL DEFAULT 400,             -- 72
  PiezoNote           TEXT,                         -- 73 (not read)
  Psp                 REAL DEFAULT 0,               -- 74 spontaneous polarisation
  PolarizationNote    TEXT,                         -- 75 (not read)
  ThermalConductivity REAL,                         -- 76
  ThermalNote         TEXT,                         -- 77 (not read)
  HeatCapacity        REAL                          -- 78
);

-- An alloy holds the values of its second end member (SiGe those of Ge,
-- InGaAs and AlGaAs of GaAs, InGaP of GaP, AlGaN and InGaN of GaN); the
-- composition set in the device file makes it the alloy.
INSERT INTO TABLE_MATERIAL (
  Name, FullName, Structure, BandgapType, Bandgap, Affinity, Eso, Me, Mhh, Mlh, Msh, NC, NV, Permittivity, IndexN, IndexK, MobilityN, MobilityP, Beta, Cn, Cp, ThermalConductivity, HeatCapacity, LatticeA, LatticeB, LatticeC)
VALUES
-- Name      FullName                          Structure       BandgapType  Bandgap  Affinity  Eso    Me     Mhh   Mlh    Msh    NC       NV       Permittivity  IndexN  IndexK  MobilityN  MobilityP  Beta      Cn       Cp       ThermalConductivity  HeatCapacity  LatticeA  LatticeB  LatticeC
  ('Si',     'Silicon',                        'diamond',      2,           1.12,    4.17,     0.044, 0.36,  0.49, 0.16,  0.24,  2.8e19,  1.04e19, 11.8,         3.42,   0.05,   1000,      500,       1.1e-14,  8.3e-32, 1.8e-31, 1.3,                 0.7,          0.4,      0.4,      0.4),
  ('Ge',     'Germanium',                      'diamond',      2,           0.66,    4,        0.29,  0.22,  0.33, 0.043, 0.084, 1e19,    5e18,    16.2,         4,      0.2,    3600,      1900,      6.41e-14, 1e-30,   1e-30,   0.58,                0.31,         0.4,      0.4,      0.4),
  ('SiGe',   'Silicon-germanium alloy',        'diamond',      2,           0.66,    4,        0.29,  0.22,  0.33, 0.043, 0.084, 1e19,    5e18,    16.2,         4,      0.2,    3600,      1900,      6.41e-14, 1e-30,   1e-30,   0.58,                0.31,         0.4,      0.4,      0.4),
  ('a-Si',   'Amorphous silicon',              'amorphous',    1,           1.8,     3.9,      0.044, 0.34,  0.49, 0.16,  0.24,  2e20,    2e20,    11.8,         3.42,   0.5,    10,        1,         1e-10,    1e-30,   1e-30,   1.3,                 0.7,          0.4,      0.4,      0.4),
  ('GaAs',   'Gallium arsenide',               'zincblende',   1,           1.42,    4.07,     0.34,  0.063, 0.51, 0.082, 0.15,  4.7e17,  9e18,    12.9,         3.3,    0.2,    4000,      400,       7.2e-10,  5e-30,   1e-31,   0.55,                0.33,         0.4,      0.4,      0.4),
  ('InAs',   'Indium arsenide',                'zincblende',   1,           0.354,   4.9,      0.41,  0.023, 0.41, 0.026, 0.16,  8.7e16,  6.6e18,  15.15,        3.51,   0.2,    20000,     300,       1e-14,    1e-30,   1e-30,   0.27,                0.25,         0.4,      0.4,      0.4),
  ('AlAs',   'Aluminium arsenide',             'zincblende',   1,           2.16,    3.5,      0.4,   0.02,  0.76, 0.15,  0.2,   4.35e17, 6.16e18, 10.06,        3.9,    2,      1000,      100,       1e-10,    1e-30,   1e-30,   0.8,                 0.25,         0.4,      0.4,      0.4),
  ('GaP',    'Gallium phosphide',              'zincblende',   1,           2.26,    3.8,      0.3,   0.22,  0.79, 0.14,  0.16,  1.8e19,  1.9e19,  9.11,         3.02,   2,      250,       150,       1e-13,    1e-30,   1e-30,   0.1,                 0.1,          0.545,    0.545,    0.545),
  ('InP',    'Indium phosphide',               'zincblende',   1,           1.344,   4.38,     0.11,  0.08,  0.6,  0.089, 0.17,  5.7e17,  1.1e19,  12.5,         3.1,    0.2,    2000,      100,       1e-14,    1e-30,   1e-30,   0.68,                0.31,         0.4,      0.4,      0.4),
  ('InGaAs', 'Indium gallium arsenide',        'zincblende',   1,           1.42,    4.07,     0.34,  0.063, 0.51, 0.082, 0.15,  4.7e17,  9e18,    12.9,         3.3,    0.2,    4000,      400,       7.2e-10,  5e-30,   1e-31,   0.55,                0.33,         0.4,      0.4,      0.4),
  ('InGaP',  'Indium gallium phosphide',       'zincblende',   1,           2.26,    3.8,      0.3,   0.22,  0.79, 0.14,  0.16,  1.8e19,  1.9e19,  9.11,         3.02,   2,      250,       150,       1e-13,    1e-30,   1e-30,   0.1,                 0.1,          0.545,    0.545,    0.545),
  ('AlGaAs', 'Aluminium gallium arsenide',     'zincblende',   1,           1.42,    4.07,     0.34,  0.063, 0.51, 0.082, 0.15,  4.7e17,  9e18,    12.9,         3.3,    0.2,    4000,      400,       7.2e-10,  5e-30,   1e-31,   0.55,                0.33,         0.4,      0.4,      0.4),
  ('InSb',   'Indium antimonide',              'zincblende',   1,           0.17,    4.59,     0.8,   0.014, 0.43, 0.43,  0.14,  4.2e16,  7.3e18,  16.8,         4,      0.2,    77000,     850,       5e-11,    5e-26,   5e-26,   0.68,                0.31,         0.4,      0.4,      0.4),
  ('GaSb',   'Gallium antimonide',             'zincblende',   1,           0.726,   4.06,     0.8,   0.041, 0.4,  0.05,  0.14,  2.1e17,  1.8e19,  12.5,         3.1,    0.2,    3000,      1000,      1e-10,    5e-30,   5e-30,   0.68,                0.31,         0.4,      0.4,      0.4),
  ('C',      'Diamond',                        'diamond',      2,           5.5,     7.2,      0.11,  0.36,  2.12, 0.7,   1.06,  5e18,    1.8e19,  5.5,          2.4,    0.2,    500,       100,       1e-10,    1e-30,   1e-30,   2.85,                0.31,         0.4,      0.4,      0.4),
  ('AlN',    'Aluminium nitride',              'wurtzite',     1,           6.2,     2.26,     0.11,  0.4,   3.53, 3.53,  0.25,  6.3e18,  4.8e20,  9.14,         2.15,   0.2,    10,        1,         4e-11,    1e-24,   1e-24,   2.85,                0.31,         0.311,    0.311,    0.498),
  ('GaN',    'Gallium nitride',                'wurtzite',     1,           3.4,     4.1,      0.02,  0.2,   1.4,  0.3,   0.6,   1.2e18,  4.1e19,  8.9,          2.3,    0.2,    400,       20,        1.1e-08,  1e-24,   1e-24,   1.3,                 0.49,         0.3189,   0.3189,   0.5185),
  ('InN',    'Indium nitride',                 'wurtzite',     1,           0.7,     5.26,     0.02,  0.11,  1.63, 0.27,  0.65,  9e17,    5.3e19,  15.3,         2.9,    0.2,    1000,      50,        2e-10,    1e-24,   1e-24,   1.3,                 0.49,         0.354,    0.354,    0.57),
  ('AlGaN',  'Aluminium gallium nitride',      'wurtzite',     1,           3.4,     4.1,      0.02,  0.2,   1.4,  0.3,   0.6,   1.2e18,  4.1e19,  8.9,          2.3,    0.2,    400,       20,        1.1e-08,  1e-24,   1e-24,   1.3,                 0.49,         0.3189,   0.3189,   0.5185),
  ('InGaN',  'Indium gallium nitride',         'wurtzite',     1,           3.4,     4.1,      0.02,  0.2,   1.4,  0.3,   0.6,   1.2e18,  4.1e19,  8.9,          2.3,    0.2,    400,       20,        1.1e-08,  1e-24,   1e-24,   1.3,                 0.49,         0.3189,   0.3189,   0.5185),
  ('6H-SiC', 'Silicon carbide (6H polytype)',  'hexagonal',    1,           3,       3.4,      0.11,  0.2,   0.6,  1,     1,     9e18,    2.5e19,  9.66,         2.59,   0.2,    400,       90,        1.5e-12,  5e-31,   2e-31,   0.68,                0.31,         0.4,      0.4,      0.4),
  ('CIGS',   'Copper indium gallium selenide', 'chalcopyrite', 1,           1.15,    4.5,      0.11,  0.2,   0.6,  1,     1,     2.2e18,  1.8e19,  13.4,         2.59,   0.2,    100,       25,        1e-12,    1e-30,   1e-30,   0.68,                0.31,         0.4,      0.4,      0.4),
  ('CZTS',   'Copper zinc tin sulfide',        'kesterite',    1,           1.5,     4.5,      0.11,  0.2,   0.6,  1,     1,     2.1e18,  8.9e18,  6.5,          2.59,   0.2,    100,       25,        1e-12,    1e-30,   1e-30,   0.68,                0.31,         0.4,      0.4,      0.4),
  ('CdS',    'Cadmium sulfide',                'wurtzite',     1,           2.42,    4.2,      0.11,  0.25,  0.6,  1,     1,     1.8e19,  2.4e18,  9,            2.4,    0.2,    1000,      150,       1e-12,    1e-30,   1e-30,   0.68,                0.31,         0.4,      0.4,      0.4),
  ('In2S3',  'Indium sulfide',                 'tetragonal',   1,           2.9,     4.3,      0.11,  0.25,  0.6,  1,     1,     2.2e18,  1.8e19,  13.5,         2.4,    0.2,    400,       200,       1e-12,    1e-30,   1e-30,   0.68,                0.31,         0.4,      0.4,      0.4),
  ('CdTe',   'Cadmium telluride',              'zincblende',   1,           1.47,    4.4,      0.11,  0.2,   0.6,  1,     1,     2.2e18,  1.8e19,  10.2,         2.7,    0.2,    1050,      100,       1e-12,    1e-30,   1e-30,   0.68,                0.31,         0.4,      0.4,      0.4),
  ('ZnO',    'Zinc oxide',                     'wurtzite',     1,           3.3,     4.4,      0.11,  0.2,   0.6,  1,     1,     2.2e18,  1.8e19,  9,            2.4,    0.2,    100,       25,        1e-12,    1e-30,   1e-30,   0.68,                0.31,         0.3,      0.3,      0.5),
  ('Cu2O',   'Cuprous oxide',                  'cubic',        1,           2.17,    3.2,      0.11,  0.2,   0.6,  1,     1,     2e17,    1.1e19,  7.11,         2.4,    0.2,    200,       80,        1e-12,    1e-30,   1e-30,   0.68,                0.31,         0.4,      0.4,      0.4),
  ('CuO',    'Cupric oxide',                   'monoclinic',   1,           1.51,    4.07,     0.11,  0.2,   0.6,  1,     1,     2.2e19,  5.5e20,  18.1,         2.4,    0.2,    100,       25,        1e-12,    1e-30,   1e-30,   0.68,                0.31,         0.4,      0.4,      0.4),
  ('TiO2',   'Titanium dioxide',               'tetragonal',   1,           2.26,    4.2,      0.11,  0.2,   0.6,  1,     1,     2e17,    6e17,    10,           2.4,    0.2,    100,       25,        1e-12,    1e-30,   1e-30,   0.68,                0.31,         0.4,      0.4,      0.4);

-- Materials known only from this database: representative room-temperature
-- values from the literature cited per row (Reference column and the notes
-- below). Films of these materials vary with their growth (TCO doping
-- shifts the optical gap, polycrystalline films have lower mobilities than
-- the crystals quoted), so the values are a starting point, not a fit.
-- Effective densities of states follow from the masses:
-- NC = 2.51e19 (me)^1.5, NV = 2.51e19 (mh)^1.5 at 300 K. Values the
-- sources do not give (Auger coefficients, the split-off energy, the light
-- and split-off hole masses of the oxides) are placeholders of the same
-- size as those of the other wide-gap materials above.
--
-- Se    trigonal selenium. Eg 1.85 eV (indirect; the direct gap lies near
--       1.95 eV), lattice a 0.4366 and c 0.4954 nm: O. Madelung,
--       Semiconductors: Data Handbook, 3rd ed., Springer, 2004, trigonal
--       Se; hole mobility of crystals some tens of cm2/Vs, electrons much
--       slower, permittivity 6.6 and masses as used for selenium cells
--       (T. K. Todorov et al., Nat. Commun. 8, 682, 2017); electron
--       affinity 4.0 eV from an ionisation energy of about 5.9 eV.
-- MgO   rocksalt magnesium oxide. Eg 7.8 eV (R. C. Whited, C. J. Flaten,
--       W. C. Walker, Solid State Commun. 13, 1903, 1973); electron
--       affinity about 0.9 eV, static permittivity 9.8, n 1.74 and lattice
--       constant 0.4212 nm: Madelung, Data Handbook, MgO.
-- SnO2  rutile tin oxide. Eg 3.6 eV, permittivity 9.86 (along c; 14 across
--       it), lattice a 0.4737 and c 0.3186 nm: Madelung, Data Handbook,
--       SnO2; electron mass 0.275 (K. J. Button et al., Phys. Rev. B 4,
--       4539, 1971); electron mobility 260 cm2/Vs of single crystals
--       (C. G. Fonstad, R. H. Rediker, J. Appl. Phys. 42, 2911, 1971);
--       electron affinity 4.5 eV.
-- In2O3 bixbyite indium oxide. Fundamental gap 2.9 eV, the optical gap
--       3.6 eV being dipole-forbidden below it (A. Walsh et al., Phys. Rev.
--       Lett. 100, 167402, 2008; P. D. C. King et al., Phys. Rev. B 79,
--       205211, 2009); electron affinity 4.45 eV (A. Klein, Appl. Phys.
--       Lett. 77, 2009, 2000); electron mass 0.22 and permittivity 8.9
--       (I. Hamberg, C. G. Granqvist, J. Appl. Phys. 60, R123, 1986);
--       electron mobility 160 cm2/Vs of crystals (R. L. Weiher, J. Appl.
--       Phys. 33, 2834, 1962). The cubic cell of 1.0117 nm lies above
--       the 1 nm a layer accepts: half of it, 0.5059 nm (the fluorite-like
--       subcell), is kept (the engine uses the lattice constants only for
--       polarisation, which a cubic oxide has none of).
-- ITO   tin-doped indium oxide, degenerate. Optical gap 3.7 eV with the
--       Burstein-Moss shift of a film of about 1e21 1/cm3, electron mass
--       0.35, permittivity 9 and n 1.9 at 550 nm (Hamberg and Granqvist,
--       1986); work function and electron affinity about 4.5 eV (Y. Park
--       et al., Appl. Phys. Lett. 68, 2699, 1996); Hall mobility of films
--       30 to 50 cm2/Vs (H. Kim et al., J. Appl. Phys. 86, 6451, 1999).
INSERT INTO TABLE_MATERIAL (
  Name, FullName, Structure, BandgapType, Bandgap, Affinity, Eso, Me, Mhh, Mlh, Msh, NC, NV, Permittivity, IndexN, IndexK, MobilityN, MobilityP, Beta, Cn, Cp, ThermalConductivity, HeatCapacity, LatticeA, LatticeB, LatticeC)
VALUES
-- Name      FullName                          Structure       BandgapType  Bandgap  Affinity  Eso    Me     Mhh   Mlh    Msh    NC       NV       Permittivity  IndexN  IndexK  MobilityN  MobilityP  Beta      Cn       Cp       ThermalConductivity  HeatCapacity  LatticeA  LatticeB  LatticeC
  ('Se',     'Trigonal selenium',              'trigonal',     2,           1.85,    4.0,      0.11,  0.3,   0.9,  0.9,   0.9,   4.1e18,  2.1e19,  6.6,          3.0,    0.2,    10,        30,        1e-12,    1e-30,   1e-30,   0.02,                0.32,         0.4366,   0.4366,   0.4954),
  ('MgO',    'Magnesium oxide',                'rocksalt',     1,           7.8,     0.9,      0.11,  0.35,  1.6,  1.6,   1.6,   5.2e18,  5.1e19,  9.8,          1.74,   0,      10,        1,         1e-12,    1e-30,   1e-30,   0.6,                 0.88,         0.4212,   0.4212,   0.4212),
  ('SnO2',   'Tin oxide',                      'rutile',       1,           3.6,     4.5,      0.11,  0.275, 1,    1,     1,     3.6e18,  2.5e19,  9.86,         2.0,    0.01,   260,       10,        1e-12,    1e-30,   1e-30,   0.4,                 0.35,         0.4737,   0.4737,   0.3186),
  ('In2O3',  'Indium oxide',                   'bixbyite',     1,           2.9,     4.45,     0.11,  0.22,  1,    1,     1,     2.6e18,  2.5e19,  8.9,          2.0,    0.01,   160,       10,        1e-12,    1e-30,   1e-30,   0.13,                0.34,         0.5059,   0.5059,   0.5059),
  ('ITO',    'Indium tin oxide',               'bixbyite',     1,           3.7,     4.5,      0.11,  0.35,  1,    1,     1,     5.2e18,  2.5e19,  9,            1.9,    0.01,   40,        10,        1e-12,    1e-30,   1e-30,   0.11,                0.34,         0.5059,   0.5059,   0.5059);

-- Amorphous silicon: broad band tails, Urbach model on.
UPDATE TABLE_MATERIAL
   SET UrbachRestriction = 'none', UrbachEA = 0.05, UrbachED = 0.06, UrbachGA = 1e21, UrbachGD = 1e21
 WHERE Name = 'a-Si';

-- Wurtzite nitrides (the alloys take the GaN row) and zinc oxide.
UPDATE TABLE_MATERIAL SET LatticeKind = 'wurtzite', E31 = -5.8e-5, E33 = 1.55e-4, C11 = 410, C12 = 149, C13 = 99, C33 = 389, Psp = -8.1e-6
 WHERE Name = 'AlN';
UPDATE TABLE_MATERIAL SET LatticeKind = 'wurtzite', E31 = -3.4e-5, E33 = 6.7e-5, C11 = 390, C12 = 145, C13 = 106, C33 = 398, Psp = -2.9e-6
 WHERE Name IN ('GaN', 'AlGaN', 'InGaN');
UPDATE TABLE_MATERIAL SET LatticeKind = 'wurtzite', E31 = -5.7e-5, E33 = 9.7e-5, C11 = 190, C12 = 104, C13 = 121, C33 = 182, Psp = -3.2e-6
 WHERE Name = 'InN';
UPDATE TABLE_MATERIAL SET E31 = -3.4e-5, E33 = 6.7e-5, C11 = 0, C12 = 0, C13 = 100, C33 = 400, Psp = 0
 WHERE Name = 'ZnO';

-- Where the values come from.
UPDATE TABLE_MATERIAL SET Reference = 'M. Levinshtein, S. Rumyantsev, M. Shur (eds.), Handbook Series on Semiconductor Parameters, World Scientific, 1996';
UPDATE TABLE_MATERIAL SET Reference = 'A. Luque, S. Hegedus (eds.), Handbook of Photovoltaic Science and Engineering, 2nd ed., Wiley, 2011'
 WHERE Name IN ('CIGS', 'CZTS', 'CdS', 'In2S3', 'CdTe', 'ZnO', 'Cu2O', 'CuO', 'TiO2');
UPDATE TABLE_MATERIAL SET Reference = 'Representative values: O. Madelung, Semiconductors: Data Handbook, 3rd ed., Springer, 2004; T. K. Todorov et al., Nat. Commun. 8, 682, 2017'
 WHERE Name = 'Se';
UPDATE TABLE_MATERIAL SET Reference = 'Representative values: R. C. Whited et al., Solid State Commun. 13, 1903, 1973; O. Madelung, Semiconductors: Data Handbook, 3rd ed., Springer, 2004'
 WHERE Name = 'MgO';
UPDATE TABLE_MATERIAL SET Reference = 'Representative values: O. Madelung, Semiconductors: Data Handbook, 3rd ed., Springer, 2004; K. J. Button et al., Phys. Rev. B 4, 4539, 1971; C. G. Fonstad, R. H. Rediker, J. Appl. Phys. 42, 2911, 1971'
 WHERE Name = 'SnO2';
UPDATE TABLE_MATERIAL SET Reference = 'Representative values: A. Walsh et al., Phys. Rev. Lett. 100, 167402, 2008; A. Klein, Appl. Phys. Lett. 77, 2009, 2000; I. Hamberg, C. G. Granqvist, J. Appl. Phys. 60, R123, 1986; R. L. Weiher, J. Appl. Phys. 33, 2834, 1962'
 WHERE Name = 'In2O3';
UPDATE TABLE_MATERIAL SET Reference = 'Representative values: I. Hamberg, C. G. Granqvist, J. Appl. Phys. 60, R123, 1986; Y. Park et al., Appl. Phys. Lett. 68, 2699, 1996; H. Kim et al., J. Appl. Phys. 86, 6451, 1999'
 WHERE Name = 'ITO';

COMMIT;
