#!/usr/bin/perl
# Writes the archive fixtures with Perl's XBase module (libdbd-xbase-perl), a
# dBASE implementation independent of ours. Run from this folder:
#   perl make_xbase_fixtures.pl
# and commit the resulting .dbf files.
use strict;
use warnings;
use utf8;
use Encode qw(encode);
use XBase;

sub make_table {
    my ($file, $codepage, $encoding, $names, $types, $lengths, $rows, $deleted) = @_;
    unlink $file;
    my $table = XBase->create(
        name => $file, codepage => $codepage,
        field_names => $names, field_types => $types,
        field_lengths => $lengths, field_decimals => [ map { 0 } @$names ],
    ) or die XBase->errstr;
    my $number = 0;
    for my $row (@$rows) {
        my @values = map { defined $_ && !/^\d+$/ ? encode($encoding, $_) : $_ } @$row;
        $table->set_record($number++, @values) or die $table->errstr;
    }
    $table->delete_record($_) or die $table->errstr for @$deleted;
    $table->close;
}

# Columns in another order than ours, Cyrillic text, a leading space, blank
# cells, logicals true, false and unset (XBase writes "?"); rows 1 and 3
# (0-based) deleted. XBase takes logicals as Perl truth values.
make_table('xbase_archive.dbf', 0xC9, 'cp1251',
    [qw(NAMEORG inn E_READABLE E_SOHRAN ACTDATE MECHNAME TYPEKKM ZAVNUM GODVYP PRICHINA EKLZREG)],
    [qw(C C L L C C C C C C C)],
    [40, 12, 1, 1, 10, 60, 60, 12, 4, 60, 10],
    [
        ['ООО «Ромашка»', '7701234567', 1, 0, '6.1.2012', 'Иванов И.И.', 'ЭКР 2102К', 'ab12345', '2005', 'Замена ЭКЛЗ', '123456    '],
        ['Удалённая', '1', 1, 1, '1.1.2001', 'X', 'X', 'X', 'X', 'X', 'X'],
        ['  с пробелами', ' ', undef, 1, '31.12.2012', '', ' ', ' ', ' ', ' ', '          '],
        ['Тоже удалённая', '2', 0, 0, '2.2.2002', 'Y', 'Y', 'Y', 'Y', 'Y', 'Y'],
        ['Последняя', '500100732259', 0, undef, '15.3.2013', 'Петров П.П.', 'АМС 100Ф', '0001', '2010', 'Замена блока ФП', '9876543210'],
    ],
    [1, 3]);

# An older archive whose act date is a real date column.
make_table('xbase_date_column.dbf', 0xC9, 'cp1251',
    [qw(ACTDATE MECHNAME TYPEKKM ZAVNUM GODVYP PRICHINA INN EKLZREG NAMEORG E_SOHRAN E_READABLE)],
    [qw(D C C C C C C C C L L)],
    [8, 60, 60, 12, 4, 60, 12, 10, 40, 1, 1],
    [
        ['20120106', 'Иванов И.И.', 'ЭКР 2102К', '123', '2005', 'Замена ЭКЛЗ', '7701234567', '1234567890', 'ООО «Ромашка»', 1, 1],
        [undef, 'Сидоров', 'Х', '1', '2001', 'Х', '1', '1', 'Х', 0, 0],
    ],
    []);

# A DOS-era archive in code page 866 (language driver 0x65).
make_table('xbase_cp866.dbf', 0x65, 'cp866',
    [qw(ACTDATE MECHNAME TYPEKKM ZAVNUM GODVYP PRICHINA INN EKLZREG NAMEORG E_SOHRAN E_READABLE)],
    [qw(C C C C C C C C C L L)],
    [10, 60, 60, 12, 4, 60, 12, 10, 40, 1, 1],
    [
        ['6.1.2012', 'Иванов И.И.', 'ЭКР 2102К', '123', '2005', 'Замена ЭКЛЗ', '7701234567', '1234567890', 'ООО "Ромашка"', 1, 0],
    ],
    []);

# An older archive that keeps the year of manufacture and the ИНН as numbers.
make_table('xbase_number_columns.dbf', 0xC9, 'cp1251',
    [qw(ACTDATE MECHNAME TYPEKKM ZAVNUM GODVYP PRICHINA INN EKLZREG NAMEORG E_SOHRAN E_READABLE)],
    [qw(C C C C N C N C C L L)],
    [10, 60, 60, 12, 4, 60, 12, 10, 40, 1, 1],
    [
        ['6.1.2012', 'Иванов И.И.', 'ЭКР 2102К', '123', 2005, 'Замена ЭКЛЗ', 7707083893, '1234567890', 'ООО «Ромашка»', 1, 0],
    ],
    []);
