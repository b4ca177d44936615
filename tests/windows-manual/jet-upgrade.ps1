# The recordset path on real Windows, which Wine cannot run: an upgrade of a
# Jet VelaScan.mdb at schema 2.00 by the 32-bit VelaScanUpg.exe in the batch
# interface, then a check of the schema, the values, the files and the
# transcript. Run it in an elevated PowerShell (the exe asks for the
# administrator); it moves itself to the 32-bit PowerShell, since the Jet 4.0
# provider is 32-bit only. It installs the service double as "Vela Scan" and
# removes it again at the end.
#
#   powershell -ExecutionPolicy Bypass -File tests\windows-manual\jet-upgrade.ps1 -Bin build\win-i686\bin
#
# -Bin: the folder holding VelaScanUpg.exe and the service double VelaScanSrv.exe
# of the i686 build. -Keep: leave the throw-away installation for a look.

#Requires -RunAsAdministrator
param(
  [Parameter(Mandatory = $true)][string]$Bin,
  [switch]$Keep
)
$ErrorActionPreference = 'Stop'
$Bin = (Resolve-Path $Bin).Path

if ([Environment]::Is64BitProcess) {
  $ps32 = Join-Path $env:windir 'SysWOW64\WindowsPowerShell\v1.0\powershell.exe'
  $arguments = @('-NoProfile', '-ExecutionPolicy', 'Bypass', '-File', $PSCommandPath, '-Bin', $Bin)
  if ($Keep) { $arguments += '-Keep' }
  & $ps32 @arguments
  exit $LASTEXITCODE
}

$failures = 0
function Fail([string]$what) { Write-Host "FAIL: $what" -ForegroundColor Red; $script:failures++ }
function Expect($actual, $expected, [string]$what) {
  if ("$actual" -ne "$expected") { Fail "$what is '$actual', not '$expected'" }
}

$root = Join-Path $env:TEMP ("vsu-jet-" + [Guid]::NewGuid().ToString('N').Substring(0, 8))
$program = Join-Path $root 'VelaScan'
$snmpc = Join-Path $root 'SNMPc'
$mdb = Join-Path $program 'VelaScan.mdb'
$log = Join-Path $root 'transcript.jsonl'
$jet = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=$mdb"
foreach ($dir in @("$program\Temp", "$snmpc\bitmaps", "$snmpc\mibfiles")) { New-Item -ItemType Directory -Path $dir | Out-Null }

# The installation: new program files under Temp (the service double as the new
# service executable), the icon and the MIB, and an SNMPc folder with its MIB list.
Copy-Item (Join-Path $Bin 'VelaScanSrv.exe') "$program\Temp\VelaScanSrv.ex_"
Set-Content -Path "$program\Temp\VelaScan.ex_" -Value 'new console'
Set-Content -Path "$program\Temp\Tallyback.ex_" -Value 'new tallyback'
Set-Content -Path "$program\VelaScan.ico" -Value 'icon'
Set-Content -Path "$program\Ferrowin.mib" -Value 'mib'
Set-Content -Path "$snmpc\snmpc.ini" -Value '[SNMPc]'
[IO.File]::WriteAllText("$snmpc\mibfiles\names.txt", "Standard.mib`r`nFerrowin.mib`r`n")

# VelaScan.mdb at 2.00, made by ADOX, its SnmpcPath naming the SNMPc folder.
$catalog = New-Object -ComObject ADOX.Catalog
$catalog.Create($jet) | Out-Null
$catalog.ActiveConnection.Close()
$db = New-Object -ComObject ADODB.Connection
$db.Open($jet)
foreach ($sql in @(
    'CREATE TABLE Settings_General (ProgVersion TEXT(10), SnmpcPath TEXT(150))',
    "INSERT INTO Settings_General VALUES ('2.00', '$snmpc')",
    'CREATE TABLE SuppGrp_Perm (Name TEXT(50))',
    "INSERT INTO SuppGrp_Perm VALUES ('first')",
    "INSERT INTO SuppGrp_Perm VALUES ('second')",
    'CREATE TABLE Maintenance (Name TEXT(50))',
    "INSERT INTO Maintenance VALUES ('weekly')")) {
  $db.Execute($sql) | Out-Null
}
$db.Close()

# The upgrade, answered by the batch interface; nothing to type.
$env:VELASCANUPG_UI = 'batch'
$env:VELASCANUPG_LOG = $log
$empty = Join-Path $root 'empty.txt'
Set-Content -Path $empty -Value $null
$run = Start-Process -FilePath (Join-Path $Bin 'VelaScanUpg.exe') -ArgumentList $program -Wait -PassThru `
  -NoNewWindow -RedirectStandardInput $empty -RedirectStandardOutput (Join-Path $root 'stdout.txt')
Expect $run.ExitCode 0 'the exit status'

# The schema and the values every step wrote.
$db = New-Object -ComObject ADODB.Connection
$db.Open($jet)
function Rows([string]$sql) {
  $rs = $db.Execute($sql)
  $rows = @()
  while (-not $rs.EOF) {
    $row = @()
    for ($i = 0; $i -lt $rs.Fields.Count; $i++) { $row += "$($rs.Fields.Item($i).Value)" }
    $rows += ($row -join '|')
    $rs.MoveNext()
  }
  $rs.Close()
  return ,$rows
}
Expect ((Rows 'SELECT ProgVersion, SnmpcPath, DropTrapDevMaint, EventFloodTrap, EventFloodThreshold FROM Settings_General') -join ';') `
  "3.14|$snmpc|False|False|100" 'Settings_General'
Expect ((Rows 'SELECT Name, CorrUpNotInQueue, NodeGroupSearch, NodeNameSearch, MessageSearch FROM SuppGrp_Perm ORDER BY Name') -join ';') `
  'first|False|=|=|=;second|False|=|=|=' 'SuppGrp_Perm'
Expect ((Rows 'SELECT Name, PollType FROM Maintenance') -join ';') 'weekly|' 'Maintenance'
Expect ((Rows 'SELECT Name, UserKey, Device, AlarmImportance, Message, RetriesLeft FROM SentFailed_Mobile_PO').Count) 0 'SentFailed_Mobile_PO'
Expect ((Rows 'SELECT Name, MailAddress, MailServer, AlarmImportance, Message, RetriesLeft FROM SentFailed_Mail_SMTP').Count) 0 'SentFailed_Mail_SMTP'
$db.Close()

# The files and the transcript.
Expect (Get-Content "$program\VelaScan.exe") 'new console' 'VelaScan.exe'
Expect (Get-Content "$snmpc\Tallyback.exe") 'new tallyback' 'Tallyback.exe'
Expect ([IO.File]::ReadAllText("$snmpc\mibfiles\names.txt")) "Standard.mib`r`nFerrowin.mib`r`n`r`n" 'names.txt'
$events = Get-Content $log | ForEach-Object { $_ | ConvertFrom-Json }
$progress = ($events | Where-Object { $_.event -eq 'progress' } | ForEach-Object { $_.value }) -join ' '
Expect $progress '1 2 3 4 5 6 7 8 9 10' 'the progress'
$texts = $events | Where-Object { $_.event -eq 'text' -and $_.control -eq 'txtInfo' } | ForEach-Object { $_.text }
Expect ($texts -join '|') 'Copying program files...|Adding MIB file...|Upgrading database...|Attempting to install the service...|Attempting to start the service...|The Vela Scan Service started successfully.' 'the status texts'
$boxes = @($events | Where-Object { $_.event -eq 'msgbox' })
Expect $boxes.Count 1 'the message boxes (the MIB note only)'
Expect ($events | Where-Object { $_.event -eq 'end' }).status 0 'the ending status'
Expect ((& sc.exe query 'Vela Scan' | Select-String 'STATE') -replace '.*:\s*(\d+).*', '$1') 4 'the service state'

& sc.exe stop 'Vela Scan' | Out-Null
Start-Sleep -Seconds 2
& sc.exe delete 'Vela Scan' | Out-Null
if ($Keep) { Write-Host "The installation stays in $root" } else { Remove-Item -Recurse -Force $root }
Write-Host "Jet upgrade on Windows: $failures failures"
exit $failures
