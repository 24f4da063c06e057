-- Material database "semiconductor.kovradb": the standard materials of the
-- engine at 300 K. The build turns this script into the database file with
-- the sqlite3 program (etc/CMakeLists.txt).
--
-- The engine and the device editor read the table by COLUMN POSITION
-- (SELECT *), so the order of the columns below is part of the file format:
-- never insert, remove or reorder a column; add new ones at the end.
-- Columns marked "(not read)" carry notes for people browsing the file.
--
-- The rows hold exactly the values of the engine's built-in table
-- (engine/model/ekMaterialTable.cpp); a test compares the two.

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

COMMIT;
