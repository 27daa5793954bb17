-- The empty database that the program copies on its first start (dbBlank.mdb).
-- The program never creates tables itself; everything it reads and writes is declared here.
-- The file needs nothing that only the program provides, so that any SQLite tool can read and
-- write it: date columns hold ISO 8601 text ('2026-12-07', '2026-12-07 14:30:00'), which the
-- program's own connection keeps with temporary triggers of its own.

-- Support cases. ID is assigned on insert and never reused.
CREATE TABLE Cases (
    ID              INTEGER PRIMARY KEY AUTOINCREMENT,
    Title           TEXT,
    [Assigned To]   INTEGER,
    [Opened By]     INTEGER,
    [Opened Date]   DATE,
    Status          TEXT,
    Category        TEXT,
    Priority        TEXT,
    Comments        TEXT,
    [Due Date]      DATE,
    KB              TEXT,
    [Resolved Date] DATE,
    Customer        INTEGER,
    [Call Time]     DATE
);

CREATE TABLE Employees (
    ID               INTEGER PRIMARY KEY AUTOINCREMENT,
    [First Name]     TEXT,
    [Last Name]      TEXT,
    [E-mail Address] TEXT,
    Company          TEXT,
    [Job Title]      TEXT,
    [Business Phone] TEXT,
    [Home Phone]     TEXT,
    [Mobile Phone]   TEXT,
    [Fax Number]     TEXT,
    Address          TEXT,
    City             TEXT,
    State            TEXT,
    ZIP              TEXT,
    Country          TEXT,
    [Web Page]       TEXT,
    Notes            TEXT
);

CREATE TABLE Customers (
    ID               INTEGER PRIMARY KEY AUTOINCREMENT,
    [First Name]     TEXT,
    [Last Name]      TEXT,
    [E-mail Address] TEXT,
    Company          TEXT,
    [Job Title]      TEXT,
    [Business Phone] TEXT,
    [Home Phone]     TEXT,
    [Mobile Phone]   TEXT,
    [Fax Number]     TEXT,
    Address          TEXT,
    City             TEXT,
    State            TEXT,
    ZIP              TEXT,
    Country          TEXT,
    [Web Page]       TEXT,
    Notes            TEXT
);

-- The lookup lists: one text column each, no identifier, no index. Without an index every scan
-- runs in insertion order, which the First and Last aggregates rely on.
CREATE TABLE Status (Status TEXT);
CREATE TABLE Categories (Category TEXT);
CREATE TABLE Priorities (Priority TEXT);
CREATE TABLE KnowledgeBase (KB TEXT);

-- The stored queries. A person's display name is first name, one blank, last name, formed by the
-- same expression in every view, so that the case editor finds a case's people in its pick lists
-- by name. The case views join with outer joins: a case whose person was deleted is still listed.
--
-- Texts are ordered without regard to letter case, as people read them ("apple, Banana"): the
-- people views order so themselves, and the case views' text columns carry COLLATE NOCASE, which
-- an outer "order by Title" uses. Equality in the tables stays exact: the program compares no
-- text column of a view, and its deletions of lookup values run on the Cases table itself, so
-- deleting the status "open" never takes the cases of "Open".

CREATE VIEW [Employees Extended] AS
SELECT e.ID AS ID,
       coalesce(e.[First Name], '') || ' ' || coalesce(e.[Last Name], '') AS [Employee Name],
       e.[First Name] AS [First Name],
       e.[Last Name] AS [Last Name]
  FROM Employees e
 ORDER BY [Employee Name] COLLATE NOCASE, [Employee Name], e.ID;

CREATE VIEW [Customers Extended] AS
SELECT c.ID AS ID,
       coalesce(c.[First Name], '') || ' ' || coalesce(c.[Last Name], '') AS [Customer Name],
       c.[First Name] AS [First Name],
       c.[Last Name] AS [Last Name]
  FROM Customers c
 ORDER BY [Customer Name] COLLATE NOCASE, [Customer Name], c.ID;

CREATE VIEW [Cases Extended] AS
SELECT k.ID AS ID,
       k.Title COLLATE NOCASE AS Title,
       (coalesce(cu.[First Name], '') || ' ' || coalesce(cu.[Last Name], ''))
           COLLATE NOCASE AS [Customer Name],
       (coalesce(a.[First Name], '') || ' ' || coalesce(a.[Last Name], ''))
           COLLATE NOCASE AS [Assigned To Name],
       k.Priority COLLATE NOCASE AS Priority,
       k.Status COLLATE NOCASE AS Status,
       k.Category COLLATE NOCASE AS Category,
       k.[Due Date] AS [Due Date],
       k.[Opened Date] AS [Opened Date],
       k.KB COLLATE NOCASE AS [Knowledge Base],
       k.[Resolved Date] AS [Resolved Date],
       (coalesce(o.[First Name], '') || ' ' || coalesce(o.[Last Name], ''))
           COLLATE NOCASE AS [Opened By Name],
       k.[Assigned To] AS [Assigned To],
       k.[Opened By] AS [Opened By],
       k.Customer AS Customer,
       k.Comments COLLATE NOCASE AS Comments,
       k.[Call Time] AS [Call Time]
  FROM Cases k
  LEFT JOIN Customers cu ON cu.ID = k.Customer
  LEFT JOIN Employees a ON a.ID = k.[Assigned To]
  LEFT JOIN Employees o ON o.ID = k.[Opened By]
 ORDER BY k.ID;

CREATE VIEW [Open Cases] AS
SELECT k.ID AS ID,
       k.Title COLLATE NOCASE AS Title,
       k.[Assigned To] AS [Assigned To],
       k.[Opened By] AS [Opened By],
       k.Customer AS Customer,
       k.Status COLLATE NOCASE AS Status,
       k.Category COLLATE NOCASE AS Category,
       k.Priority COLLATE NOCASE AS Priority,
       k.Comments COLLATE NOCASE AS Comments,
       k.[Due Date] AS [Due Date],
       k.[Opened Date] AS [Opened Date],
       k.[Resolved Date] AS [Resolved Date],
       (coalesce(cu.[First Name], '') || ' ' || coalesce(cu.[Last Name], ''))
           COLLATE NOCASE AS [Customer Name],
       (coalesce(a.[First Name], '') || ' ' || coalesce(a.[Last Name], ''))
           COLLATE NOCASE AS [Assigned To Name],
       (coalesce(o.[First Name], '') || ' ' || coalesce(o.[Last Name], ''))
           COLLATE NOCASE AS [Opened By Name],
       k.KB COLLATE NOCASE AS [Knowledge Base],
       k.[Call Time] AS [Call Time]
  FROM Cases k
  LEFT JOIN Customers cu ON cu.ID = k.Customer
  LEFT JOIN Employees a ON a.ID = k.[Assigned To]
  LEFT JOIN Employees o ON o.ID = k.[Opened By]
 WHERE k.[Resolved Date] IS NULL
 ORDER BY k.ID;

CREATE VIEW [Closed Cases] AS
SELECT k.ID AS ID,
       k.Title COLLATE NOCASE AS Title,
       k.[Assigned To] AS [Assigned To],
       k.[Opened By] AS [Opened By],
       k.Customer AS Customer,
       k.Status COLLATE NOCASE AS Status,
       k.Category COLLATE NOCASE AS Category,
       k.Priority COLLATE NOCASE AS Priority,
       k.Comments COLLATE NOCASE AS Comments,
       k.[Due Date] AS [Due Date],
       k.[Opened Date] AS [Opened Date],
       k.[Resolved Date] AS [Resolved Date],
       (coalesce(cu.[First Name], '') || ' ' || coalesce(cu.[Last Name], ''))
           COLLATE NOCASE AS [Customer Name],
       (coalesce(a.[First Name], '') || ' ' || coalesce(a.[Last Name], ''))
           COLLATE NOCASE AS [Assigned To Name],
       (coalesce(o.[First Name], '') || ' ' || coalesce(o.[Last Name], ''))
           COLLATE NOCASE AS [Opened By Name],
       k.KB COLLATE NOCASE AS [Knowledge Base],
       k.[Call Time] AS [Call Time]
  FROM Cases k
  LEFT JOIN Customers cu ON cu.ID = k.Customer
  LEFT JOIN Employees a ON a.ID = k.[Assigned To]
  LEFT JOIN Employees o ON o.ID = k.[Opened By]
 WHERE k.[Resolved Date] IS NOT NULL
 ORDER BY k.ID;
